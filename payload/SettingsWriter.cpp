#include "payload/SettingsWriter.h"

namespace {

class FieldWriter {
public:
    explicit FieldWriter(ByteSink& sink) : m_sink(sink) {}

    void U8(uint8_t value) { m_ok = m_ok && m_sink.WriteU8(value); }
    void U16(uint16_t value) { m_ok = m_ok && m_sink.WriteU16(value); }
    void I32(int32_t value) { m_ok = m_ok && m_sink.WriteI32(value); }
    void U64(uint64_t value) { m_ok = m_ok && m_sink.WriteI64(static_cast<int64_t>(value)); }
    // A text ends at its first zero byte in the stream, so only that much is written.
    void Text(const String& text)
    {
        m_ok = m_ok && m_sink.WriteZeroTerminated(text.Text()) && m_sink.WriteU8(0);
    }
    void Bytes(const String& bytes)
    {
        if (!bytes.IsEmpty())
            m_ok = m_ok && m_sink.Write(bytes.Text(), bytes.Length());
    }
    bool Ok() const { return m_ok; }

private:
    ByteSink& m_sink;
    bool m_ok = true;
};

}

bool WriteSettings(ByteSink& sink, const Settings& s)
{
    FieldWriter out(sink);
    out.U64(s.productFlags);
    out.U16(s.stepDelay);
    out.U8(s.shortcutMode);
    for (int32_t field : s.uninstallerStamp)
        out.I32(field);
    out.Text(s.publisher);
    out.Text(s.productName);
    out.Text(s.sharedDir);
    out.Text(s.productStartMenu);
    out.Text(s.defaultDirectory);
    out.Text(s.displayVersion);
    out.Text(s.productRegistry);
    out.I32(s.bitmapSize);
    out.I32(s.licenseTexts.Count());
    for (int32_t i = 0; i < s.licenseTexts.Count(); ++i)
        out.Text(s.licenseTexts[i]);
    out.I32(s.readmeTexts.Count());
    for (int32_t i = 0; i < s.readmeTexts.Count(); ++i)
        out.Text(s.readmeTexts[i]);
    out.Text(s.uninstallSubdir);
    out.Text(s.volumeBaseName);
    out.Text(s.uninstallerFileName);
    out.Text(s.uninstallName);
    out.I32(s.titleColor);
    out.U8(s.titleShadow);
    out.U8(s.titlePosition);
    out.I32(s.topColor);
    out.I32(s.bottomColor);
    out.I32(s.backgroundPicture.Length());
    out.Bytes(s.backgroundPicture);
    if (s.Has(kFlagRequiresMaster))
        out.Text(s.masterName);
    out.Text(s.desktopFolder);
    out.Text(s.preInstallScript);
    out.Text(s.postInstallScript);
    out.Text(s.closingScript);
    out.Text(s.uninstallBatch1);
    out.Text(s.uninstallBatch2);
    for (int i = 0; i < kReservedSettingsBytes; ++i)
        out.U8(0);
    out.I32(s.excludedVersions);
    out.U8(s.externalData);
    out.I32(s.volumeTag);
    if (s.Has(kFlagUninstallSupport)) {
        out.I32(s.patchOffset);
        if (s.patchOffset > 0) {
            out.I32(s.patch.Length());
            out.Bytes(s.patch);
        }
    }
    for (int32_t i = 0; i < s.deletions.Count(); ++i) {
        const FileDeletion& d = s.deletions[i];
        out.Text(d.path);
        out.U8(d.condition);
        out.Text(d.value);
        out.I32(d.flags);
    }
    out.Text(kDeletionListEnd);
    out.I32(s.associations.Count());
    for (int32_t i = 0; i < s.associations.Count(); ++i) {
        const FileAssociation& a = s.associations[i];
        out.I32(a.flags);
        for (const String* text : { &a.extension, &a.typeName, &a.description, &a.verb, &a.verbCaption, &a.command,
                                    &a.language, &a.icon })
            out.Text(*text);
    }
    out.I32(s.uninstallData.Count());
    for (int32_t i = 0; i < s.uninstallData.Count(); ++i) {
        const UninstallData& u = s.uninstallData[i];
        out.Text(u.name);
        out.U8(u.type);
        out.Text(u.value);
    }
    out.U8(static_cast<uint8_t>(s.languages.Count()));
    out.I32(s.stringRows);
    for (int32_t i = 0; i < s.languages.Count(); ++i)
        out.Text(s.languages[i]);
    for (int32_t i = 0; i < s.stringRows * s.languages.Count(); ++i)
        out.Text(i < s.strings.Count() ? s.strings[i] : String());
    out.I32(static_cast<int32_t>(kSettingsEndMarker));
    return out.Ok();
}
