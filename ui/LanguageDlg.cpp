#include "ui/LanguageDlg.h"
#include "ui/DialogIds.h"
#include "ui/DialogSupport.h"

namespace {

constexpr DialogText kTexts[] = { { kIdOk, 48 }, { kIdCancel, 49 } };

struct LanguageChoice {
    const Vector<String>* languages;
    const TextSource* texts;
    LanguageListener* listener;
    int language;
};

// The user's language as Windows names it ("German (Germany)"), cut at the first "("
// and the first blank: "German". Empty when Windows does not say.
void UserLanguageName(char (&name)[256])
{
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLANGUAGE, name, 255))
        name[0] = 0;
    for (char* c = name; *c; ++c) {
        if (*c == '(' || *c == ' ') {
            *c = 0;
            break;
        }
    }
}

// The first entry that begins with `prefix` (ignoring case); -1 when none does. An empty
// prefix would match every entry, so it matches none.
int FindEntry(HWND list, const char* prefix)
{
    if (!*prefix)
        return -1;
    LRESULT found = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix));
    return found == LB_ERR ? -1 : static_cast<int>(found);
}

void ShowLanguage(HWND dialog, LanguageChoice& choice)
{
    SetDialogTexts(dialog, kTexts, 2, *choice.texts, choice.language);
    if (choice.listener)
        choice.listener->LanguageShown(choice.language);
}

void Initialise(HWND dialog, LanguageChoice& choice)
{
    HWND list = GetDlgItem(dialog, kIdLanguageList);
    for (const String& name : *choice.languages)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Text()));
    char name[256];
    UserLanguageName(name);
    int selected = FindEntry(list, name);
    if (selected < 0)
        selected = FindEntry(list, "English");
    if (selected < 0)
        selected = 0;
    SendMessageA(list, LB_SETCURSEL, selected, 0);
    choice.language = selected;
    ShowLanguage(dialog, choice);
    CenterWindow(dialog);
}

int Selection(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, kIdLanguageList, LB_GETCURSEL, 0, 0));
}

INT_PTR CALLBACK LanguageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* choice = DialogContext<LanguageChoice>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        Initialise(dialog, *choice);
        return TRUE;
    }
    if (message != WM_COMMAND || !choice)
        return FALSE;
    int count = choice->languages->Count();
    switch (LOWORD(wParam)) {
    case kIdLanguageList:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            int selected = Selection(dialog);
            if (selected >= 0 && selected < count) {
                choice->language = selected;
                ShowLanguage(dialog, *choice);
            }
            return TRUE;
        }
        if (HIWORD(wParam) != LBN_DBLCLK)
            return FALSE;
        [[fallthrough]];
    case kIdOk: {
        int selected = Selection(dialog);
        choice->language = selected < 0 ? 0 : selected >= count ? count - 1 : selected;
        EndDialog(dialog, kIdOk);
        return TRUE;
    }
    case kIdCancel:
        EndDialog(dialog, kIdCancel);
        return TRUE;
    }
    // Esc and the close box send IDCANCEL: the choice is made with the two buttons only.
    return TRUE;
}

}

int ShowLanguageDlg(HWND owner, const Vector<String>& languages, const TextSource& texts, LanguageListener* listener,
                    int& language)
{
    if (languages.Count() < 2)
        return kIdOk;
    LanguageChoice choice = { &languages, &texts, listener, language };
    INT_PTR answer = DialogBoxParamA(GetModuleHandleA(nullptr), kLanguageDlg, owner, LanguageProcedure,
                                     reinterpret_cast<LPARAM>(&choice));
    if (answer == kIdOk)
        language = choice.language;
    return static_cast<int>(answer);
}
