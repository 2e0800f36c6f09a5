#include "payload/SettingsReader.h"
#include "payload/ErrorCodes.h"

// The individual reads are not checked: a stream that ends early reads as zeros and
// empty texts, and the end marker catches it (or an earlier bounded field does).
namespace {

class FieldReader {
public:
    explicit FieldReader(MemoryReader& stream) : m_stream(stream) {}

    uint8_t U8()
    {
        uint8_t value = 0;
        m_stream.ReadU8(value);
        return value;
    }
    uint16_t U16()
    {
        uint16_t value = 0;
        m_stream.ReadU16(value);
        return value;
    }
    int32_t I32()
    {
        int32_t value = 0;
        m_stream.ReadI32(value);
        return value;
    }
    uint64_t U64()
    {
        uint64_t value = 0;
        m_stream.ReadU64(value);
        return value;
    }
    void Text(String& text)
    {
        text.Clear();
        m_stream.ReadZeroTerminated(text);
    }
    String Text()
    {
        String text;
        m_stream.ReadZeroTerminated(text);
        return text;
    }
    // n raw bytes; nothing for n below 1. A count beyond the rest of the stream cannot
    // be a valid package: the rest is consumed, so that the end marker fails, without
    // asking the heap for the stated size first.
    void Bytes(String& bytes, int32_t n)
    {
        bytes.Clear();
        if (n < 1)
            return;
        int32_t remaining = m_stream.Size() - m_stream.Position();
        if (n > remaining) {
            m_stream.Seek(m_stream.Size());
            return;
        }
        bytes.SetLength(n);
        m_stream.Read(bytes.Buffer(), n);
    }

private:
    MemoryReader& m_stream;
};

bool IsMaster(const String& directory)
{
    return directory.Length() == 8 && directory.Compare("<master>", false) == 0;
}

// The stream in parts, each reading its fields in stored order (the order of Settings)
// and answering 0 or the code of its first failed check.

// Flags, pacing, the uninstaller's date, and the names and folders of the product.
int ReadProduct(FieldReader& in, Settings& s, SettingsHost& host)
{
    s.productFlags = in.U64();
    if (int code = host.AfterProductFlags(s.productFlags))
        return code;

    s.stepDelay = in.U16();
    if (s.stepDelay > kMaxStepDelay)
        return kCodeStepDelay;
    s.shortcutMode = in.U8();
    for (int32_t& field : s.uninstallerStamp)
        field = in.I32();

    in.Text(s.publisher);
    in.Text(s.productName);
    s.displayName = host.DisplayNameOverride();
    if (s.displayName.IsEmpty())
        s.displayName = s.productName;

    in.Text(s.sharedDir);
    if (s.sharedDir.IsEmpty())
        s.sharedDir = s.publisher.IsEmpty() ? s.displayName : s.publisher;
    if (s.Has(kFlagUninstallSupport))
        host.SettleSharedDirectory(s.sharedDir);
    else
        s.sharedDir.Clear();

    in.Text(s.productStartMenu);
    if (s.productStartMenu.IsEmpty()) {
        if (!s.publisher.IsEmpty())
            s.productStartMenu = s.publisher + "\\";
        s.productStartMenu.Append(s.displayName);
    }

    in.Text(s.defaultDirectory);
    // No default is the product's name, which goes under Program Files like any other
    // relative default: an install directory is always absolute.
    if (s.defaultDirectory.IsEmpty())
        s.defaultDirectory = s.displayName;
    if (!IsMaster(s.defaultDirectory))
        host.SettleDefaultDirectory(s.defaultDirectory);

    in.Text(s.displayVersion);
    in.Text(s.productRegistry);
    return 0;
}

// A count, checked against its limit, then that many texts.
int ReadTextList(FieldReader& in, Vector<String>& texts, int32_t limit, int code)
{
    int32_t count = in.I32();
    if (count < 0 || count > limit)
        return code;
    texts.Clear();
    for (int32_t i = 0; i < count; ++i)
        texts.Append(in.Text());
    return 0;
}

// The picture's size, the licence and readme texts, and the uninstaller's names.
int ReadTextsAndNames(FieldReader& in, Settings& s)
{
    s.bitmapSize = in.I32();
    if (s.bitmapSize < 0 || s.bitmapSize > kMaxBitmapSize)
        return kCodeBitmapSize;
    if (int code = ReadTextList(in, s.licenseTexts, kMaxLicenseTexts, kCodeLicenseCount))
        return code;
    if (int code = ReadTextList(in, s.readmeTexts, kMaxReadmeTexts, kCodeReadmeCount))
        return code;

    in.Text(s.uninstallSubdir);
    in.Text(s.volumeBaseName);
    if (s.volumeBaseName.IsEmpty())
        return kCodeVolumeName;
    in.Text(s.uninstallerFileName);
    in.Text(s.uninstallName);
    if (s.uninstallName.IsEmpty())
        s.uninstallName = s.displayName;
    return 0;
}

// The background window's look, the master product, the scripts and where the file
// data lies. Nothing here is checked.
void ReadLookAndScripts(FieldReader& in, Settings& s)
{
    s.titleColor = in.I32();
    s.titleShadow = in.U8();
    s.titlePosition = in.U8();
    s.topColor = in.I32();
    s.bottomColor = in.I32();
    s.monoColor = s.topColor == s.bottomColor;
    in.Bytes(s.backgroundPicture, in.I32());

    s.masterName.Clear();
    if (s.Has(kFlagRequiresMaster))
        in.Text(s.masterName);
    in.Text(s.desktopFolder);
    in.Text(s.preInstallScript);
    in.Text(s.postInstallScript);
    in.Text(s.closingScript);
    in.Text(s.uninstallBatch1);
    in.Text(s.uninstallBatch2);
    String reserved;
    in.Bytes(reserved, kReservedSettingsBytes);
    s.excludedVersions = in.I32();
    s.externalData = in.U8();
    s.volumeTag = in.I32();
}

// With UninstallSupport: the uninstaller patch, which must lie within the own file.
int ReadPatch(FieldReader& in, Settings& s, SettingsHost& host)
{
    s.patchOffset = 0;
    s.patch.Clear();
    if (!s.Has(kFlagUninstallSupport))
        return 0;
    s.patchOffset = in.I32();
    if (s.patchOffset < 0 || s.patchOffset > host.OwnFileSize())
        return kCodePatchOffset;
    if (s.patchOffset > 0)
        in.Bytes(s.patch, in.I32());
    return 0;
}

// The deletion rules, the file associations and the extra uninstall values.
int ReadRecords(FieldReader& in, Settings& s)
{
    s.deletions.Clear();
    for (;;) {
        String path = in.Text();
        if (path == String(kDeletionListEnd))
            break;
        if (s.deletions.Count() >= kMaxDeletionRecords)
            return kCodeDeletionCount;
        FileDeletion* deletion = s.deletions.AppendNew();
        deletion->path = static_cast<String&&>(path);
        deletion->condition = in.U8();
        in.Text(deletion->value);
        deletion->flags = in.I32();
    }

    int32_t count = in.I32();
    if (count < 0 || count > kMaxRecords)
        return kCodeAssociationCount;
    s.associations.Clear();
    for (int32_t i = 0; i < count; ++i) {
        FileAssociation* a = s.associations.AppendNew();
        a->flags = in.I32();
        for (String* text : { &a->extension, &a->typeName, &a->description, &a->verb, &a->verbCaption, &a->command,
                              &a->language, &a->icon })
            in.Text(*text);
    }

    count = in.I32();
    if (count < 0 || count > kMaxRecords)
        return kCodeUninstallDataCount;
    s.uninstallData.Clear();
    for (int32_t i = 0; i < count; ++i) {
        UninstallData* record = s.uninstallData.AppendNew();
        in.Text(record->name);
        record->type = in.U8();
        in.Text(record->value);
    }
    return 0;
}

// The languages, the string table row by row, and the end marker.
int ReadStringTable(FieldReader& in, MemoryReader& stream, Settings& s)
{
    int32_t languages = in.U8();
    if (languages == 0 || languages > kMaxLanguages)
        return kCodeLanguageCount;
    s.stringRows = in.I32();
    if (s.stringRows < 1 || s.stringRows > kMaxRecords)
        return kCodeStringCount;
    s.languages.Clear();
    s.englishLanguage = -1;
    for (int32_t i = 0; i < languages; ++i) {
        String name = in.Text();
        if (s.englishLanguage < 0 && name == String("English"))
            s.englishLanguage = i;
        s.languages.Append(static_cast<String&&>(name));
    }
    if (s.englishLanguage < 0)
        s.englishLanguage = 0;
    // Up to a million texts: once the stream is used up the rest would all be empty and
    // the end marker cannot match, so stop filling the table there.
    s.strings.Clear();
    for (int32_t i = 0; i < s.stringRows * languages && stream.Position() < stream.Size(); ++i)
        s.strings.Append(in.Text());
    if (s.strings.Count() < s.stringRows * languages)
        return kCodeEndMarker;

    if (static_cast<uint32_t>(in.I32()) != kSettingsEndMarker)
        return kCodeEndMarker;
    return 0;
}

}

int ReadSettings(MemoryReader& stream, Settings& s, SettingsHost& host)
{
    FieldReader in(stream);
    if (int code = ReadProduct(in, s, host))
        return code;
    if (int code = ReadTextsAndNames(in, s))
        return code;
    ReadLookAndScripts(in, s);
    if (int code = ReadPatch(in, s, host))
        return code;
    if (int code = ReadRecords(in, s))
        return code;
    return ReadStringTable(in, stream, s);
}

String Settings::StringAt(int number, int language) const
{
    int32_t columns = languages.Count();
    if (number < 0 || number >= stringRows || language < 0 || language >= columns)
        return String();
    // A stream cut short leaves fewer texts than rows times languages.
    const String* text = strings.ElementOrNull(number * columns + language);
    return text ? *text : String();
}
