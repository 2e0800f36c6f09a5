// The product's record: its key under the Windows Uninstall key, the mode and look it
// asks for, and Uninstall.DAT. A record that cannot be used ends the uninstallation
// before anything is touched.
#include "records/UninstallValue.h"
#include "system/FileOperations.h"
#include "system/File.h"
#include "system/Path.h"
#include "ui/BackgroundLook.h"
#include "ui/BackgroundWindow.h"
#include "ui/PictureFile.h"
#include "ui/ProgramWindows.h"
#include "uninstall/Uninstaller.h"

namespace {

// The background window paints from this while it lives, which is until the program's
// exit routine, after Uninstall has returned.
BackgroundLook s_look;

class KeyValues final : public UninstallValueSource {
public:
    explicit KeyValues(const RegistryKey& key) : m_key(key) {}

    bool ReadText(const char* name, String& text) override
    {
        Value value;
        if (!m_key.Read(name, value) || value.Storage() != Value::kStoreText)
            return false;
        text = value.ToText();
        return true;
    }

    bool ReadNumber(const char* name, uint32_t& number) override
    {
        Value value;
        if (!m_key.Read(name, value) || value.Storage() != Value::kStoreInteger)
            return false;
        number = value.ToUInt32();
        return true;
    }

private:
    const RegistryKey& m_key;
};

bool Refuse(Uninstaller& u, const char* format, const String& name)
{
    String text;
    text.Format(format, name.Text());
    // The record's messages are not read yet, so its caption for errors is unknown.
    u.questions.ShowError(text, "Error");
    return false;
}

void ShowBackground(Uninstaller& u)
{
    const UninstallEntry& e = u.entry;
    s_look.displayTitle = e.displayTitle;
    s_look.titleColor = e.titleColor;
    s_look.titleShadow = static_cast<uint8_t>(e.titleShadow);
    s_look.titlePosition = static_cast<uint8_t>(e.titlePosition);
    s_look.topColor = e.topColor;
    s_look.bottomColor = e.bottomColor;
    s_look.monoColor = e.monoColor;
    s_look.bitmapSize = e.bitmapSize > 100 ? 100 : static_cast<int32_t>(e.bitmapSize);
    s_look.fullScreen = u.Has(kFlagFullScreen);
    if (u.Has(kFlagSaveBackgroundBitmap))
        (void)LoadPictureFile(s_look.picture, JoinPath(u.uninstallDir, kBackgroundBitmapFileName));
    if (!u.Has(kFlagNoBackground))
        TheProgramWindows().background = CreateBackgroundWindow(GetModuleHandleA(nullptr), s_look);
}

}

bool OpenRecord(Uninstaller& u)
{
    // A name with a backslash would reach another key than a product's own.
    String path(kUninstallKeyPath);
    path += '\\';
    path += u.name;
    if (u.name.FindChar('\\') >= 0 || !u.key.OpenProductKey(path.Text(), false, RegistryKey::kExistingOnly)) {
        if (u.name.FindChar('\\') >= 0 || GetLastError() == ERROR_FILE_NOT_FOUND)
            return Refuse(u, "No product named '%s' is installed.", u.name);
        return Refuse(u, "Unable to access the uninstall information for:\r\n%s\r\n\r\n"
                         "The uninstallation cannot be performed.", u.name);
    }

    KeyValues values(u.key);
    // A relative install directory would be taken against whatever the current
    // directory is; the installer always records a full path.
    bool sound = ReadUninstallEntry(values, u.name, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW), u.entry) &&
                 IsAbsolutePath(u.InstallDir().Text());
    u.questions.SetMode(u.Automatic() || u.Has(kFlagAutomaticUninstall),
                        AutomaticAnswers { u.Has(kFlagShowErrorsInAutomatic), false });
    u.uninstallDir = JoinPath(u.InstallDir(), u.entry.uninstallSubdir);
    // A record that is there but cannot be read must not be taken for an empty one: the
    // uninstaller would rewrite it without the files it lists.
    String text;
    int read = sound ? ReadWholeFile(JoinPath(u.uninstallDir, kUninstallFileName).Text(), text) : File::kOpened;
    if (!sound || (read != File::kOpened && read != File::kNotFound && read != File::kNoDirectory))
        return Refuse(u, "The uninstall information for %s is corrupt.\r\n\r\nThe uninstallation cannot be performed.",
                      u.entry.displayName);

    ShowBackground(u);
    (void)ReadUninstallFile(text, u.record);
    return true;
}
