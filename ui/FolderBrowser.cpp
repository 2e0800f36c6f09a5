#include "ui/FolderBrowser.h"
#include "ui/DialogSupport.h"
#include <shlobj.h>

namespace {

// The shell's allocator, which owns every item list the shell hands out.
class ShellAllocator {
public:
    ShellAllocator()
    {
        if (FAILED(SHGetMalloc(&m_allocator)))
            m_allocator = nullptr;
    }
    ~ShellAllocator()
    {
        if (m_allocator)
            m_allocator->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;

    void Free(void* block)
    {
        if (m_allocator && block)
            m_allocator->Free(block);
    }

private:
    IMalloc* m_allocator = nullptr;
};

int CALLBACK BrowserCallback(HWND browser, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED) {
        CenterWindow(browser);
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
    }
    return 0;
}

}

bool BrowseForFolder(HWND owner, const String& title, String& path)
{
    ShellAllocator allocator;
    LPITEMIDLIST root = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &root)) || !root)
        return false;
    char chosenName[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.pszDisplayName = chosenName;
    browse.lpszTitle = title.Text();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = BrowserCallback;
    browse.lParam = reinterpret_cast<LPARAM>(path.Text());
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    char chosenPath[MAX_PATH] = {};
    bool found = chosen && SHGetPathFromIDListA(chosen, chosenPath) && chosenPath[0];
    allocator.Free(chosen);
    allocator.Free(root);
    if (found)
        path = chosenPath;
    return found;
}
