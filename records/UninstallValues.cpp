#include "records/UninstallValues.h"

namespace {

enum Rule { kAlways, kDeleteWhenEmpty };

class ValueList {
public:
    explicit ValueList(Vector<UninstallValue>& values) : m_values(values) { m_values.Clear(); }

    void Text(const char* name, const String& text, Rule rule = kAlways, int32_t type = UninstallValue::kText)
    {
        UninstallValue* value = Add(name, type);
        value->text = text;
        value->remove = rule == kDeleteWhenEmpty && text.IsEmpty();
    }

    void Number(const char* name, uint32_t number, Rule rule = kAlways)
    {
        UninstallValue* value = Add(name, UninstallValue::kNumber);
        value->number = number;
        value->remove = rule == kDeleteWhenEmpty && number == 0;
    }

    void Remove(const char* name) { Add(name, UninstallValue::kNumber)->remove = true; }

private:
    UninstallValue* Add(const char* name, int32_t type)
    {
        UninstallValue* value = m_values.AppendNew();
        value->name = name;
        value->type = type;
        return value;
    }

    Vector<UninstallValue>& m_values;
};

}

void BuildUninstallValues(const UninstallValuesInput& in, Vector<UninstallValue>& values)
{
    using namespace UninstallValueName;
    ValueList list(values);
    list.Text(kUninstallString, UninstallCommandLine(in.uninstallerPath, in.uninstallName, false));
    list.Text(kQuietUninstallString, UninstallCommandLine(in.uninstallerPath, in.uninstallName, true));
    list.Text(kDisplayName, in.displayName);
    list.Text(kInstallSource, in.installSource);
    list.Text(kDisplayVersion, in.displayVersion, kDeleteWhenEmpty);
    list.Text(kPublisher, in.publisher, kDeleteWhenEmpty);
    uint32_t major = 0;
    uint32_t minor = 0;
    if (VersionNumbers(in.displayVersion, major, minor)) {
        list.Number(kVersionMajor, major);
        list.Number(kVersionMinor, minor);
    } else {
        list.Remove(kVersionMajor);
        list.Remove(kVersionMinor);
    }
    list.Text(kProductRegistry, in.productRegistry, kDeleteWhenEmpty);
    list.Text(kProductStartMenu, in.productStartMenu, kDeleteWhenEmpty);
    list.Text(kSharedPath, in.sharedPath, kDeleteWhenEmpty);
    list.Text(kProductFonts, in.productFonts, kDeleteWhenEmpty);
    list.Text(kProductFlags, ProductFlagsText(in.productFlags));
    list.Text(kUninstallBatch1, in.uninstallBatch1, kDeleteWhenEmpty);
    list.Text(kUninstallBatch2, in.uninstallBatch2, kDeleteWhenEmpty);
    list.Text(kSharedFiles, in.sharedFiles, kDeleteWhenEmpty);
    list.Text(kUninstallSubdir, in.uninstallSubdir, kDeleteWhenEmpty);
    list.Number(kShortcutMode, in.shortcutMode == 1 ? 1 : 0, kDeleteWhenEmpty);
    list.Text(kDisplayTitle, in.displayTitle);
    list.Number(kTitleColor, static_cast<uint32_t>(in.titleColor));
    list.Number(kTopColor, static_cast<uint32_t>(in.topColor));
    if (in.monoColor)
        list.Remove(kBottomColor);
    else
        list.Number(kBottomColor, static_cast<uint32_t>(in.bottomColor));
    list.Number(kMonoColor, in.monoColor ? 1 : 0);
    list.Number(kTitleShadow, static_cast<uint32_t>(in.titleShadow));
    list.Number(kTitlePosition, static_cast<uint32_t>(in.titlePosition));
    list.Number(kBitmapSize, static_cast<uint32_t>(in.bitmapSize));
    for (const UninstallData& data : in.uninstallData) {
        const char* name = data.name.Text();
        if (data.type == UninstallValue::kNumber)
            list.Number(name, static_cast<uint32_t>(String::ParseInt(data.value.Text(), String::kParseSkipLeadingSpace)),
                        kDeleteWhenEmpty);
        else if (data.type == UninstallValue::kExpandText)
            list.Text(name, data.value, kDeleteWhenEmpty, UninstallValue::kExpandText);
        else
            list.Text(name, data.value, kDeleteWhenEmpty);
    }
    list.Text(kInstallLocation, in.installLocation);
    list.Text(kInstallDate, in.installDate.Format(DateTime::kDefaultPattern));
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
