#include "ui/TextDlg.h"
#include "ui/DialogIds.h"
#include "ui/DialogSupport.h"

namespace {

constexpr DialogText kLicenseTexts[] = { { 0, 44 }, { kIdLabel, 47 }, { kIdOk, 45 }, { kIdCancel, 46 } };
constexpr DialogText kReadmeTexts[] = { { 0, 50 }, { kIdLabel, 51 }, { kIdOk, 48 }, { kIdCancel, 49 } };

struct TextView {
    const DialogText* labels;
    const String* text;
    const TextSource* texts;
    int language;
};

INT_PTR CALLBACK TextProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* view = DialogContext<TextView>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        SetDlgItemTextA(dialog, kIdText, view->text->Text());
        SetDialogTexts(dialog, view->labels, 4, *view->texts, view->language);
        CenterWindow(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == kIdOk || LOWORD(wParam) == kIdCancel)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    // Esc and the close box (IDCANCEL) do nothing.
    return message == WM_COMMAND && LOWORD(wParam) == IDCANCEL;
}

int ShowTextDlg(HWND owner, const char* resource, const DialogText* labels, const String& text,
                const TextSource& texts, int language)
{
    TextView view = { labels, &text, &texts, language };
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), resource, owner, TextProcedure,
                                            reinterpret_cast<LPARAM>(&view)));
}

}

int ShowLicenseDlg(HWND owner, const String& text, const TextSource& texts, int language)
{
    return ShowTextDlg(owner, kLicenseDlg, kLicenseTexts, text, texts, language);
}

int ShowReadmeDlg(HWND owner, const String& text, const TextSource& texts, int language)
{
    return ShowTextDlg(owner, kReadmeDlg, kReadmeTexts, text, texts, language);
}
