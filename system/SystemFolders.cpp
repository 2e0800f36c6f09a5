#include "system/SystemFolders.h"
#include "system/Path.h"
#include "system/RegistryKey.h"
#include "system/RuntimeLoader.h"
#include "system/SystemIdentity.h"
#include "system/SystemPaths.h"
#include <windows.h>

// The two shell functions are loaded together: shells older than Internet Explorer 4
// have neither, and then the shell lookup is skipped and the defaults stand in. A
// failed load is tried again on the next request.
using GetSpecialFolderPathFunction = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using ChangeNotifyFunction = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);

static GetSpecialFolderPathFunction s_getSpecialFolderPath;
static ChangeNotifyFunction s_changeNotify;

static bool LoadShellFunctions()
{
    if (s_getSpecialFolderPath && s_changeNotify)
        return true;
    const RuntimeFunction table[] = {
        {"SHGetSpecialFolderPathA", reinterpret_cast<void**>(&s_getSpecialFolderPath), false},
        {"SHChangeNotify", reinterpret_cast<void**>(&s_changeNotify), false},
        {nullptr, nullptr, false},
    };
    if (LoadRuntimeTable("shell32.dll", table))
        return true;
    s_getSpecialFolderPath = nullptr;
    s_changeNotify = nullptr;
    return false;
}

// Where the registry keeps a folder.
enum class Source : uint8_t {
    UserShellFolder,    // HKCU ...\Explorer\Shell Folders
    MachineShellFolder, // HKLM ...\Explorer\Shell Folders
    SetupValue,         // HKLM ...\Windows\CurrentVersion
};

constexpr int kNoShellFolder = -1;

// The default: `base` joined with `name`. A base of kWindowsBase is the Windows
// directory, kFixedText means `name` is the whole default, and any other base is the
// folder of that number (joined with `name` unless it is null).
constexpr int kWindowsBase = -1;
constexpr int kFixedText = -2;

struct FolderRow {
    Source source;
    const char* valueName;
    int shellFolder; // CSIDL number for SHGetSpecialFolderPathA
    int base;
    const char* name;
};

static int Index(SystemFolder folder)
{
    return static_cast<int>(folder);
}

// One row per SystemFolder, in its order.
static const FolderRow kFolders[kSystemFolderCount] = {
    {Source::SetupValue, "CommonFilesDir", 43, Index(SystemFolder::ProgramFiles), "Common Files"},
    {Source::UserShellFolder, "Desktop", 16, kWindowsBase, "Desktop"},
    {Source::MachineShellFolder, "Common Desktop", 25, Index(SystemFolder::Desktop), nullptr},
    {Source::UserShellFolder, "Personal", 5, kFixedText, "c:\\My Documents"},
    {Source::MachineShellFolder, "Common Documents", 46, Index(SystemFolder::Documents), nullptr},
    {Source::UserShellFolder, "Favorites", 6, kWindowsBase, "Favorites"},
    {Source::MachineShellFolder, "Common Favorites", 31, Index(SystemFolder::Favorites), nullptr},
    {Source::UserShellFolder, "Fonts", 20, kWindowsBase, "Fonts"},
    {Source::SetupValue, "ProgramFilesDir", 38, kFixedText, "c:\\Program Files"},
    {Source::SetupValue, "MediaPath", kNoShellFolder, kWindowsBase, "Media"},
    {Source::SetupValue, "DevicePath", kNoShellFolder, kWindowsBase, "INF"},
    {Source::UserShellFolder, "Start Menu", 11, kWindowsBase, "Start Menu"},
    {Source::MachineShellFolder, "Common Start Menu", 22, Index(SystemFolder::StartMenu), nullptr},
    {Source::UserShellFolder, "Programs", 2, Index(SystemFolder::StartMenu), "Programs"},
    {Source::MachineShellFolder, "Common Programs", 23, Index(SystemFolder::Programs), nullptr},
    {Source::UserShellFolder, "Startup", 7, Index(SystemFolder::Programs), "StartUp"},
    {Source::MachineShellFolder, "Common Startup", 24, Index(SystemFolder::Startup), nullptr},
};

static String RegistryFolder(const FolderRow& row)
{
    String path;
    HKEY root = HKEY_LOCAL_MACHINE;
    if (row.source == Source::SetupValue) {
        path.Format("Software\\Microsoft\\Windows\\CurrentVersion\\%s", row.valueName);
    } else {
        path.Format("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\%s", row.valueName);
        if (row.source == Source::UserShellFolder)
            root = HKEY_CURRENT_USER;
    }
    // The key is opened in the create form: where the caller may, a missing key is
    // made empty, which changes nothing that Windows reads.
    String folder = RegistryKey::ReadAt(root, path.Text(), "", 0);
    if (folder.Length() > 3)
        folder.RemoveLastIf('\\');
    return folder;
}

static String ShellFolder(int shellFolder)
{
    if (shellFolder == kNoShellFolder || !LoadShellFunctions())
        return String();
    char buffer[MAX_PATH + 1] = {};
    if (!s_getSpecialFolderPath(nullptr, buffer, shellFolder, FALSE))
        return String();
    buffer[MAX_PATH] = 0;
    return String(buffer);
}

// Device paths are kept as "%SystemRoot%\inf" by the NT family; the first such
// variable is expanded so that the result is a usable path.
static void ExpandSystemRoot(String& path)
{
    constexpr char kVariable[] = "%SystemRoot%";
    int32_t position = path.Find(kVariable, sizeof kVariable - 1, 0, String::kIgnoreCase);
    if (position < 0)
        return;
    char expanded[MAX_PATH + 1];
    DWORD length = ExpandEnvironmentStringsA(kVariable, expanded, sizeof expanded);
    if (length == 0 || length > sizeof expanded || !expanded[0])
        return;
    path.Splice(position, sizeof kVariable - 1, expanded, SafeLength(expanded));
}

String FolderPath(SystemFolder folder)
{
    int index = Index(folder);
    if (index < 0 || index >= kSystemFolderCount)
        return String();
    const FolderRow& row = kFolders[index];

    String path = RegistryFolder(row);
    if (!path.IsEmpty()) {
        if (folder == SystemFolder::DevicePath)
            ExpandSystemRoot(path);
        return path;
    }
    path = ShellFolder(row.shellFolder);
    if (!path.IsEmpty())
        return path;

    if (row.base == kFixedText)
        return String(row.name);
    String base = row.base == kWindowsBase ? WindowsDirectory() : FolderPath(static_cast<SystemFolder>(row.base));
    return row.name ? JoinPath(base, String(row.name)) : base;
}

char BootDrive()
{
    String bootDir = RegistryKey::ReadAt(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\BootDir");
    if (bootDir.CharAt(1) == ':' && IsLetter(bootDir.CharAt(0)))
        return ToUpperChar(bootDir.CharAt(0));
    return 'C';
}

const char* FontsKey()
{
    return IsNtFamily() ? "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"
                        : "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
}

bool RegisterFont(const char* valueName, const char* fileName)
{
    // An empty name would overwrite the key's default value instead.
    if (IsBlank(valueName) || !fileName)
        return false;
    RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, FontsKey()))
        return false;
    return key.WriteText(valueName, fileName);
}

bool UnregisterFont(const char* valueName)
{
    if (IsBlank(valueName))
        return false;
    RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, FontsKey()))
        return false;
    return key.DeleteValue(valueName) == RegistryKey::kDeleted;
}

constexpr LONG kAssociationsChanged = 0x08000000; // SHCNE_ASSOCCHANGED
constexpr LONG kFolderUpdated = 0x1000;           // SHCNE_UPDATEDIR
constexpr UINT kItemIdList = 0;                   // SHCNF_IDLIST
constexpr UINT kAnsiPath = 1;                     // SHCNF_PATHA

bool NotifyAssociationsChanged()
{
    if (!LoadShellFunctions())
        return false;
    s_changeNotify(kAssociationsChanged, kItemIdList, nullptr, nullptr);
    return true;
}

bool NotifyFolderChanged(const char* path)
{
    if (IsBlank(path) || !LoadShellFunctions())
        return false;
    s_changeNotify(kFolderUpdated, kAnsiPath, path, nullptr);
    return true;
}

bool NotifyDesktopChanged(bool common)
{
    String desktop = FolderPath(common ? SystemFolder::CommonDesktop : SystemFolder::Desktop);
    return NotifyFolderChanged(desktop.Text());
}
