#include "ui/ProgressDlg.h"
#include "ui/DialogIds.h"
#include "ui/DialogSupport.h"
#include "ui/MessagePump.h"
#include <commctrl.h>

namespace {

constexpr int kCancelText = 49;
constexpr DialogText kInstallTexts[] = { { 0, 54 }, { kIdLabel, 39 }, { kIdCancel, kCancelText } };
constexpr DialogText kUninstallTexts[] = { { 0, 55 }, { kIdLabel, 71 }, { kIdCancel, kCancelText } };
constexpr DWORD kPumpInterval = 50;

}

bool ProgressDlg::Create(HWND owner, const TextSource& texts, int language, bool uninstalling, bool noCancel,
                         CancelListener* listener)
{
    Destroy();
    m_cancelAllowed = !uninstalling && !noCancel;
    m_listener = listener;
    m_texts = &texts;
    m_language = language;
    m_uninstalling = uninstalling;
    m_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), kProgressDlg, owner, Procedure,
                                  reinterpret_cast<LPARAM>(this));
    return m_dialog != nullptr;
}

void ProgressDlg::Destroy()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
    m_dialog = m_bar = nullptr;
}

void ProgressDlg::Initialise(HWND dialog)
{
    m_dialog = dialog;
    CenterWindow(dialog);
    // The bar lies over the template's frame, one pixel beyond it on every side. Without
    // the common controls' class there is no bar, and positions are dropped.
    WINDOWPLACEMENT frame = {};
    frame.length = sizeof(frame);
    if (GetWindowPlacement(GetDlgItem(dialog, kIdProgressFrame), &frame)) {
        const RECT& place = frame.rcNormalPosition;
        m_bar = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, place.left - 1, place.top - 1,
                                place.right - place.left + 3, place.bottom - place.top + 3, dialog, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    EnableWindow(GetDlgItem(dialog, kIdCancel), m_cancelAllowed);
    // The texts are in place before the template's visibility shows the dialog.
    SetDialogTexts(dialog, m_uninstalling ? kUninstallTexts : kInstallTexts, 3, *m_texts, m_language);
}

INT_PTR CALLBACK ProgressDlg::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* progress = DialogContext<ProgressDlg>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        progress->Initialise(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || !progress)
        return FALSE;
    // Only a click of the button itself counts; Esc and the close box (IDCANCEL) do nothing.
    if (LOWORD(wParam) == kIdCancel && HIWORD(wParam) == BN_CLICKED &&
        reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kIdCancel) && progress->m_cancelAllowed &&
        progress->m_listener)
        progress->m_listener->CancelPressed(dialog);
    return TRUE;
}

bool ProgressDlg::SetStepText(const String& text)
{
    m_stepStartTick = GetTickCount();
    if (m_dialog) {
        SetDlgItemTextA(m_dialog, kIdStepText, text.Text());
        UpdateWindow(m_dialog);
    }
    return PumpMessages();
}

bool ProgressDlg::SetPosition(int percent)
{
    if (m_bar)
        PostMessageA(m_bar, PBM_SETPOS, percent, 0);
    return PumpMessages();
}

bool ProgressDlg::Step(const String& text, int percent)
{
    bool goOn = SetStepText(text);
    return SetPosition(percent) && goOn;
}

void ProgressDlg::WaitForStep(uint32_t delay)
{
    for (uint32_t round = 0; round < delay; ++round) {
        if (!PumpMessages())
            return;
        // Unsigned arithmetic measures across the tick counter's wrap.
        if (GetTickCount() - m_stepStartTick >= delay)
            return;
        Sleep(kPumpInterval);
    }
}
