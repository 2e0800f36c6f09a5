#include "ui/ChooseDirDlg.h"
#include "ui/DialogIds.h"
#include "ui/DialogSupport.h"
#include "ui/FolderBrowser.h"

namespace {

constexpr int kLongestDirectory = 259;
constexpr int kBrowserTitle = 11;
constexpr DialogText kTexts[] = {
    { 0, 24 }, { kIdLabel, 11 }, { kIdOk, 48 }, { kIdCancel, 49 }, { kIdBrowse, 52 },
};

struct DirectoryChoice {
    const TextSource* texts;
    int language;
    String* directory;
};

void Browse(HWND dialog, const DirectoryChoice& choice)
{
    String path = DialogItemText(dialog, kIdDirectory);
    if (BrowseForFolder(dialog, choice.texts->Text(kBrowserTitle, choice.language), path))
        SetDlgItemTextA(dialog, kIdDirectory, path.Text());
}

INT_PTR CALLBACK ChooseDirProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* choice = DialogContext<DirectoryChoice>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        CenterWindow(dialog);
        SetDialogTexts(dialog, kTexts, 5, *choice->texts, choice->language);
        SetDlgItemTextA(dialog, kIdDirectory, choice->directory->Text());
        SendDlgItemMessageA(dialog, kIdDirectory, EM_LIMITTEXT, kLongestDirectory, 0);
        return TRUE;
    }
    if (message != WM_COMMAND || !choice)
        return FALSE;
    switch (LOWORD(wParam)) {
    case kIdOk:
        *choice->directory = DialogItemText(dialog, kIdDirectory);
        EndDialog(dialog, 1);
        return TRUE;
    case kIdCancel:
        EndDialog(dialog, 0);
        return TRUE;
    case kIdBrowse:
        Browse(dialog, *choice);
        return TRUE;
    }
    // Esc and the close box (IDCANCEL) do nothing.
    return LOWORD(wParam) == IDCANCEL;
}

}

bool ShowChooseDirDlg(HWND owner, const TextSource& texts, int language, String& directory)
{
    DirectoryChoice choice = { &texts, language, &directory };
    return DialogBoxParamA(GetModuleHandleA(nullptr), kChooseDirDlg, owner, ChooseDirProcedure,
                           reinterpret_cast<LPARAM>(&choice)) == 1;
}
