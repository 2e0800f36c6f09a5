#include "records/UninstallValues.h"

namespace {

enum Rule { kAlways, kDeleteWhenEmpty };

// Adds one value to the list; out of line, as the list is long and each call the same.
UninstallValue* AddValue(Vector<UninstallValue>& values, const char* name, int32_t type)
{
    UninstallValue* value = values.AppendNew();
    value->name = name;
    value->type = type;
    return value;
}

void AddText(Vector<UninstallValue>& values, const char* name, const String& text, Rule rule = kAlways,
             int32_t type = UninstallValue::kText)
{
    UninstallValue* value = AddValue(values, name, type);
    value->text = text;
    value->remove = rule == kDeleteWhenEmpty && text.IsEmpty();
}

void AddNumber(Vector<UninstallValue>& values, const char* name, uint32_t number, Rule rule = kAlways)
{
    UninstallValue* value = AddValue(values, name, UninstallValue::kNumber);
    value->number = number;
    value->remove = rule == kDeleteWhenEmpty && number == 0;
}

void AddRemoval(Vector<UninstallValue>& values, const char* name)
{
    AddValue(values, name, UninstallValue::kNumber)->remove = true;
}

}

void BuildUninstallValues(const UninstallValuesInput& in, Vector<UninstallValue>& values)
{
    using namespace UninstallValueName;
    values.Clear();
    AddText(values, kUninstallString, UninstallCommandLine(in.uninstallerPath, in.uninstallName, false));
    AddText(values, kQuietUninstallString, UninstallCommandLine(in.uninstallerPath, in.uninstallName, true));
    AddText(values, kDisplayName, in.displayName);
    AddText(values, kInstallSource, in.installSource);
    AddText(values, kDisplayVersion, in.displayVersion, kDeleteWhenEmpty);
    AddText(values, kPublisher, in.publisher, kDeleteWhenEmpty);
    uint32_t major = 0;
    uint32_t minor = 0;
    if (VersionNumbers(in.displayVersion, major, minor)) {
        AddNumber(values, kVersionMajor, major);
        AddNumber(values, kVersionMinor, minor);
    } else {
        AddRemoval(values, kVersionMajor);
        AddRemoval(values, kVersionMinor);
    }
    AddText(values, kProductRegistry, in.productRegistry, kDeleteWhenEmpty);
    AddText(values, kProductStartMenu, in.productStartMenu, kDeleteWhenEmpty);
    AddText(values, kSharedPath, in.sharedPath, kDeleteWhenEmpty);
    AddText(values, kProductFonts, in.productFonts, kDeleteWhenEmpty);
    AddText(values, kProductFlags, ProductFlagsText(in.productFlags));
    AddText(values, kUninstallBatch1, in.uninstallBatch1, kDeleteWhenEmpty);
    AddText(values, kUninstallBatch2, in.uninstallBatch2, kDeleteWhenEmpty);
    AddText(values, kSharedFiles, in.sharedFiles, kDeleteWhenEmpty);
    AddText(values, kUninstallSubdir, in.uninstallSubdir, kDeleteWhenEmpty);
    AddNumber(values, kShortcutMode, in.shortcutMode == 1 ? 1 : 0, kDeleteWhenEmpty);
    AddText(values, kDisplayTitle, in.displayTitle);
    AddNumber(values, kTitleColor, static_cast<uint32_t>(in.titleColor));
    AddNumber(values, kTopColor, static_cast<uint32_t>(in.topColor));
    if (in.monoColor)
        AddRemoval(values, kBottomColor);
    else
        AddNumber(values, kBottomColor, static_cast<uint32_t>(in.bottomColor));
    AddNumber(values, kMonoColor, in.monoColor ? 1 : 0);
    AddNumber(values, kTitleShadow, static_cast<uint32_t>(in.titleShadow));
    AddNumber(values, kTitlePosition, static_cast<uint32_t>(in.titlePosition));
    AddNumber(values, kBitmapSize, static_cast<uint32_t>(in.bitmapSize));
    for (const UninstallData& data : in.uninstallData) {
        const char* name = data.name.Text();
        if (data.type == UninstallValue::kNumber)
            AddNumber(values, name, static_cast<uint32_t>(String::ParseInt(data.value.Text(), String::kParseSkipLeadingSpace)),
                        kDeleteWhenEmpty);
        else if (data.type == UninstallValue::kExpandText)
            AddText(values, name, data.value, kDeleteWhenEmpty, UninstallValue::kExpandText);
        else
            AddText(values, name, data.value, kDeleteWhenEmpty);
    }
    AddText(values, kInstallLocation, in.installLocation);
    AddText(values, kInstallDate, in.installDate.Format(DateTime::kDefaultPattern));
}

String UninstallCommandLine(const String& uninstallerPath, const String& uninstallName, bool quiet)
{
    String line;
    line += '"';
    line += uninstallerPath;
    line += quiet ? "\" /a /u:\"" : "\" /u:\"";
    line += uninstallName;
    line += '"';
    return line;
}

bool VersionNumbers(const String& version, uint32_t& major, uint32_t& minor)
{
    major = minor = 0;
    int32_t point = version.FindChar('.');
    if (point < 0)
        return false;
    major = static_cast<uint32_t>(String::ParseInt(version.Text(), String::kParseNoSign));
    minor = static_cast<uint32_t>(String::ParseInt(version.Text() + point + 1, String::kParseNoSign));
    return true;
}

String ProductFlagsText(uint64_t flags)
{
    return String(static_cast<int64_t>(flags));
}

uint64_t ParseProductFlags(const String& text)
{
    String trimmed(text);
    trimmed.Trim();
    return static_cast<uint64_t>(String::ToInt64(trimmed.Text()));
}
