#include "records/UninstallEntry.h"
#include "records/UninstallValues.h"

namespace {

String TextOf(UninstallValueSource& source, const char* name)
{
    String text;
    if (!source.ReadText(name, text))
        text.Clear();
    return text;
}

uint32_t NumberOf(UninstallValueSource& source, const char* name, uint32_t fallback)
{
    uint32_t number = fallback;
    return source.ReadNumber(name, number) ? number : fallback;
}

}

bool ReadUninstallEntry(UninstallValueSource& source, const String& uninstallName, uint32_t windowTextColor,
                        uint32_t windowColor, UninstallEntry& entry)
{
    using namespace UninstallValueName;
    entry = UninstallEntry();
    entry.displayName = TextOf(source, kDisplayName);
    if (IsBlank(entry.displayName.Text()))
        entry.displayName = uninstallName;
    entry.installLocation = TextOf(source, kInstallLocation);
    entry.productFlags = ParseProductFlags(TextOf(source, kProductFlags));
    entry.displayTitle = TextOf(source, kDisplayTitle);
    entry.titleColor = NumberOf(source, kTitleColor, windowTextColor);
    entry.titleShadow = NumberOf(source, kTitleShadow, 1);
    entry.topColor = NumberOf(source, kTopColor, windowColor);
    entry.bottomColor = NumberOf(source, kBottomColor, 0);
    entry.monoColor = NumberOf(source, kMonoColor, 1) != 0;
    entry.bitmapSize = NumberOf(source, kBitmapSize, 0);
    entry.titlePosition = NumberOf(source, kTitlePosition, 0);
    entry.uninstallSubdir = TextOf(source, kUninstallSubdir);
    entry.productFonts = TextOf(source, kProductFonts);
    entry.shortcutMode = NumberOf(source, kShortcutMode, 0);
    entry.sharedPath = TextOf(source, kSharedPath);
    entry.uninstallBatch1 = TextOf(source, kUninstallBatch1);
    entry.productStartMenu = TextOf(source, kProductStartMenu);
    entry.sharedFiles = TextOf(source, kSharedFiles);
    entry.productRegistry = TextOf(source, kProductRegistry);
    entry.uninstallBatch2 = TextOf(source, kUninstallBatch2);
    return !IsBlank(entry.installLocation.Text());
}
