#include "records/UninstallEntry.h"
#include "records/UninstallValues.h"

namespace {

// The values read as they are, in a table so that reading them is one loop.
struct TextField {
    const char* name;
    String UninstallEntry::*member;
};

const TextField kTextFields[] = {
    { UninstallValueName::kDisplayName, &UninstallEntry::displayName },
    { UninstallValueName::kInstallLocation, &UninstallEntry::installLocation },
    { UninstallValueName::kDisplayTitle, &UninstallEntry::displayTitle },
    { UninstallValueName::kUninstallSubdir, &UninstallEntry::uninstallSubdir },
    { UninstallValueName::kProductFonts, &UninstallEntry::productFonts },
    { UninstallValueName::kSharedPath, &UninstallEntry::sharedPath },
    { UninstallValueName::kUninstallBatch1, &UninstallEntry::uninstallBatch1 },
    { UninstallValueName::kProductStartMenu, &UninstallEntry::productStartMenu },
    { UninstallValueName::kSharedFiles, &UninstallEntry::sharedFiles },
    { UninstallValueName::kProductRegistry, &UninstallEntry::productRegistry },
    { UninstallValueName::kUninstallBatch2, &UninstallEntry::uninstallBatch2 },
};

struct NumberField {
    const char* name;
    uint32_t UninstallEntry::*member;
    uint32_t fallback;
};

const NumberField kNumberFields[] = {
    { UninstallValueName::kTitleShadow, &UninstallEntry::titleShadow, 1 },
    { UninstallValueName::kBottomColor, &UninstallEntry::bottomColor, 0 },
    { UninstallValueName::kBitmapSize, &UninstallEntry::bitmapSize, 0 },
    { UninstallValueName::kTitlePosition, &UninstallEntry::titlePosition, 0 },
    { UninstallValueName::kShortcutMode, &UninstallEntry::shortcutMode, 0 },
};

uint32_t NumberOf(UninstallValueSource& source, const char* name, uint32_t fallback)
{
    uint32_t number = fallback;
    return source.ReadNumber(name, number) ? number : fallback;
}

}

bool ReadUninstallEntry(UninstallValueSource& source, const String& uninstallName, uint32_t windowTextColor,
                        uint32_t windowColor, UninstallEntry& entry)
{
    for (const TextField& field : kTextFields) {
        String& text = entry.*field.member;
        if (!source.ReadText(field.name, text))
            text.Clear();
    }
    for (const NumberField& field : kNumberFields)
        entry.*field.member = NumberOf(source, field.name, field.fallback);
    if (IsBlank(entry.displayName))
        entry.displayName = uninstallName;
    String flags;
    source.ReadText(UninstallValueName::kProductFlags, flags);
    entry.productFlags = ParseProductFlags(flags);
    entry.titleColor = NumberOf(source, UninstallValueName::kTitleColor, windowTextColor);
    entry.topColor = NumberOf(source, UninstallValueName::kTopColor, windowColor);
    entry.monoColor = NumberOf(source, UninstallValueName::kMonoColor, 1) != 0;
    return !IsBlank(entry.installLocation);
}
