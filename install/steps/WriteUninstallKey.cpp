// The product's entry in the list of installed programs: how to start the uninstaller
// and everything it must know, since it has no payload of its own. Written after the
// uninstaller copy, so that the entry never names a program that is not there yet.
#include "install/InstallerState.h"
#include "install/UninstallKey.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "records/UninstallValues.h"
#include "system/RegistryKey.h"

namespace {

// Each value goes straight to the key. A single value that fails is not looked at: the
// read-back of UninstallString below tells whether the entry can be used.
class KeySink final : public UninstallValueSink {
public:
    KeySink(RegistryKey& key, const InstallerState& state) : m_key(key), m_state(state) {}

    void Write(const UninstallValue& value) override
    {
        const char* name = value.name.Text();
        if (value.remove)
            (void)m_key.DeleteValue(name);
        else if (value.type == UninstallValue::kNumber)
            (void)m_key.WriteNumber(name, value.number);
        else
            (void)m_key.WriteText(name, value.text,
                                  value.type == UninstallValue::kExpandText ? RegistryKey::kExpandText : 0);
    }

    String ExpandPathVariables(const String& text) override
    {
        String expanded(text);
        m_state.ExpandPathVariables(expanded);
        return expanded;
    }

private:
    RegistryKey& m_key;
    const InstallerState& m_state;
};

}

StepResult WriteUninstallKey(InstallerState& state, InstallLog& log)
{
    if (!state.Has(kFlagUninstallSupport))
        return StepResult::GoOn;
    RegistryKey key;
    if (!CreateUninstallEntry(key, state.UninstallName())) {
        log.UninstallRegistryFailed();
        return StepResult::GoOn;
    }

    const Settings& s = state.PackageSettings();
    const BackgroundLook& look = state.look;
    UninstallValuesInput in;
    in.uninstallerPath = state.UninstallerPath();
    in.uninstallName = &state.UninstallName();
    in.displayName = &state.DisplayName();
    in.installSource = &state.payload.ownFileName;
    in.displayVersion = &s.displayVersion;
    in.publisher = &s.publisher;
    in.productRegistry = &s.productRegistry;
    in.productStartMenu = &s.productStartMenu;
    in.sharedPath = &s.sharedDir;
    in.productFonts = &state.lists.fonts;
    in.productFlags = s.productFlags;
    in.uninstallBatch1 = &s.uninstallBatch1;
    in.uninstallBatch2 = &s.uninstallBatch2;
    in.sharedFiles = &state.lists.sharedFilesValue;
    in.uninstallSubdir = &s.uninstallSubdir;
    in.shortcutMode = s.shortcutMode;
    // The background as the installer draws it, which the uninstaller draws again.
    in.displayTitle = state.Text(0);
    in.titleColor = static_cast<int32_t>(look.titleColor);
    in.topColor = static_cast<int32_t>(look.topColor);
    in.bottomColor = static_cast<int32_t>(look.bottomColor);
    in.monoColor = look.monoColor;
    in.titleShadow = look.titleShadow;
    in.titlePosition = look.titlePosition;
    in.bitmapSize = look.bitmapSize;
    in.uninstallData = &s.uninstallData;
    in.installLocation = &state.installDir;
    in.installDate.SetNow();
    KeySink sink(key, state);
    WriteUninstallValues(in, sink);

    // The one value that must be right: without it the product cannot be removed.
    String written = UninstallCommandLine(in.uninstallerPath, state.UninstallName(), false);
    if (key.ReadText(UninstallValueName::kUninstallString) != written)
        log.UninstallRegistryFailed();
    return StepResult::GoOn;
}
