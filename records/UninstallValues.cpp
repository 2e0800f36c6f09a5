#include "records/UninstallValues.h"

namespace {

enum Rule { kAlways, kDeleteWhenEmpty };

// One value object for the whole walk: each value reuses its buffers.
class ValueWriter {
public:
    explicit ValueWriter(UninstallValueSink& sink) : m_sink(sink) {}

    // A null text is an empty one.
    void Text(const char* name, const String* text, Rule rule = kAlways, int32_t type = UninstallValue::kText)
    {
        if (text)
            m_value.text = *text;
        else
            m_value.text.Clear();
        Write(name, type, rule == kDeleteWhenEmpty && m_value.text.IsEmpty());
    }

    void Number(const char* name, uint32_t number, Rule rule = kAlways)
    {
        m_value.number = number;
        Write(name, UninstallValue::kNumber, rule == kDeleteWhenEmpty && number == 0);
    }

    void Remove(const char* name) { Write(name, UninstallValue::kNumber, true); }

private:
    void Write(const char* name, int32_t type, bool remove)
    {
        m_value.name = name;
        m_value.type = type;
        m_value.remove = remove;
        m_sink.Write(m_value);
    }

    UninstallValueSink& m_sink;
    UninstallValue m_value;
};

}

void WriteUninstallValues(const UninstallValuesInput& in, UninstallValueSink& sink)
{
    using namespace UninstallValueName;
    ValueWriter out(sink);
    const String none;
    const String& uninstallName = in.uninstallName ? *in.uninstallName : none;
    String line = UninstallCommandLine(in.uninstallerPath, uninstallName, false);
    out.Text(kUninstallString, &line);
    line = UninstallCommandLine(in.uninstallerPath, uninstallName, true);
    out.Text(kQuietUninstallString, &line);
    out.Text(kDisplayName, in.displayName);
    out.Text(kInstallSource, in.installSource);
    out.Text(kDisplayVersion, in.displayVersion, kDeleteWhenEmpty);
    out.Text(kPublisher, in.publisher, kDeleteWhenEmpty);
    uint32_t major = 0;
    uint32_t minor = 0;
    if (in.displayVersion && VersionNumbers(*in.displayVersion, major, minor)) {
        out.Number(kVersionMajor, major);
        out.Number(kVersionMinor, minor);
    } else {
        out.Remove(kVersionMajor);
        out.Remove(kVersionMinor);
    }
    out.Text(kProductRegistry, in.productRegistry, kDeleteWhenEmpty);
    out.Text(kProductStartMenu, in.productStartMenu, kDeleteWhenEmpty);
    out.Text(kSharedPath, in.sharedPath, kDeleteWhenEmpty);
    out.Text(kProductFonts, in.productFonts, kDeleteWhenEmpty);
    line = ProductFlagsText(in.productFlags);
    out.Text(kProductFlags, &line);
    out.Text(kUninstallBatch1, in.uninstallBatch1, kDeleteWhenEmpty);
    out.Text(kUninstallBatch2, in.uninstallBatch2, kDeleteWhenEmpty);
    out.Text(kSharedFiles, in.sharedFiles, kDeleteWhenEmpty);
    out.Text(kUninstallSubdir, in.uninstallSubdir, kDeleteWhenEmpty);
    out.Number(kShortcutMode, in.shortcutMode == 1 ? 1 : 0, kDeleteWhenEmpty);
    out.Text(kDisplayTitle, &in.displayTitle);
    out.Number(kTitleColor, static_cast<uint32_t>(in.titleColor));
    out.Number(kTopColor, static_cast<uint32_t>(in.topColor));
    if (in.monoColor)
        out.Remove(kBottomColor);
    else
        out.Number(kBottomColor, static_cast<uint32_t>(in.bottomColor));
    out.Number(kMonoColor, in.monoColor ? 1 : 0);
    out.Number(kTitleShadow, static_cast<uint32_t>(in.titleShadow));
    out.Number(kTitlePosition, static_cast<uint32_t>(in.titlePosition));
    out.Number(kBitmapSize, static_cast<uint32_t>(in.bitmapSize));
    if (in.uninstallData) {
        for (const UninstallData& data : *in.uninstallData) {
            const char* name = data.name.Text();
            String value = sink.ExpandPathVariables(data.value);
            if (data.type == UninstallValue::kNumber)
                out.Number(name, static_cast<uint32_t>(String::ParseInt(value.Text(), String::kParseSkipLeadingSpace)),
                           kDeleteWhenEmpty);
            else if (data.type == UninstallValue::kExpandText)
                out.Text(name, &value, kDeleteWhenEmpty, UninstallValue::kExpandText);
            else
                out.Text(name, &value, kDeleteWhenEmpty);
        }
    }
    out.Text(kInstallLocation, in.installLocation);
    line = in.installDate.FormatFigures(DateTime::kDefaultPattern);
    out.Text(kInstallDate, &line);
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
