#include "system/ShellLink.h"
#include "system/ComSupport.h"
#include "system/Directory.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"
#include <shlobj.h>

String LinkFilePath(const char* linkPath)
{
    String path(linkPath);
    static const char kSuffix[] = ".LNK";
    constexpr int32_t kSuffixLength = sizeof kSuffix - 1;
    bool hasSuffix = path.Length() > kSuffixLength &&
                     String(path.Text() + path.Length() - kSuffixLength).Compare(kSuffix, false) == 0;
    if (!hasSuffix)
        path += kSuffix;
    return path;
}

bool CreateLink(const char* linkPath, const char* target, const char* arguments, const char* directory,
                const char* iconFile)
{
    if (IsBlank(linkPath) || IsBlank(target)) {
        SetLastErrorInvalidParameter();
        return false;
    }
    String path = LinkFilePath(linkPath);
    WCHAR widePath[kWidePathSize];
    if (!ToWidePath(path.Text(), widePath))
        return false;

    ComPointer<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out());
    if (SUCCEEDED(result))
        result = link->SetPath(target);
    if (SUCCEEDED(result))
        result = link->SetIconLocation(IsBlank(iconFile) ? target : iconFile, 0);
    if (SUCCEEDED(result) && arguments && *arguments)
        result = link->SetArguments(arguments);
    if (SUCCEEDED(result) && directory && *directory)
        result = link->SetWorkingDirectory(directory);
    ComPointer<IPersistFile> file;
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, file.Out());
    if (SUCCEEDED(result)) {
        // A folder that cannot be made fails the save, which says why.
        (void)CreateDirectories(DirectoryPart(path));
        result = file->Save(widePath, TRUE);
    }
    return SucceededOrSetLastError(result);
}

static bool CreateShortcutIn(SystemFolder folder, const char* linkName, const char* target, const char* arguments,
                             const char* directory, String& linkPath, const char* iconFile)
{
    linkPath.Clear();
    if (IsBlank(linkName)) {
        SetLastErrorInvalidParameter();
        return false;
    }
    linkPath = LinkFilePath(JoinPath(FolderPath(folder), linkName).Text());
    return CreateLink(linkPath.Text(), target, arguments, directory, iconFile);
}

bool CreateDesktopShortcut(const char* linkName, const char* target, const char* arguments, const char* directory,
                           String& linkPath, const char* iconFile, bool common)
{
    return CreateShortcutIn(common ? SystemFolder::CommonDesktop : SystemFolder::Desktop, linkName, target, arguments,
                            directory, linkPath, iconFile);
}

bool CreateProgramsShortcut(const char* linkName, const char* target, const char* arguments, const char* directory,
                            String& linkPath, const char* iconFile, bool common)
{
    return CreateShortcutIn(common ? SystemFolder::CommonPrograms : SystemFolder::Programs, linkName, target,
                            arguments, directory, linkPath, iconFile);
}
