#pragma once
#include "core/String.h"
#include "ui/TextSource.h"
#include <cstdint>
#include <windows.h>

// The modeless progress dialog: a label, a progress bar over the frame of the template,
// the current step's text and a Cancel button. The one thread does the work between
// calls; every call pumps the message queue, so the dialog repaints and Cancel answers
// while the work goes on.

class CancelListener {
public:
    // Cancel was pressed while it may be: the listener asks the user and ends the
    // program, or returns and the work goes on where it was.
    virtual void CancelPressed(HWND dialog) = 0;

protected:
    ~CancelListener() = default;
};

class ProgressDlg {
public:
    ProgressDlg() = default;
    ~ProgressDlg() { Destroy(); }
    ProgressDlg(const ProgressDlg&) = delete;
    ProgressDlg& operator=(const ProgressDlg&) = delete;

    // Creates the dialog over `owner` with the install texts, or the uninstall texts
    // when `uninstalling`. Cancel is grey when uninstalling (the removal cannot stop
    // half way) or with `noCancel`; otherwise pressing it tells `listener` (which may be
    // null). False when the dialog could not be made; the other calls then do nothing
    // but pump. A missing progress bar only drops positions.
    bool Create(HWND owner, const TextSource& texts, int language, bool uninstalling, bool noCancel,
                CancelListener* listener);
    void Destroy();

    HWND Handle() const { return m_dialog; }

    // Starts a step: its text, shown at once, and the moment it began. False when the
    // pump met WM_CLOSE, WM_DESTROY or WM_QUIT.
    bool SetStepText(const String& text);
    // Moves the bar (0 to 100 percent); false as above.
    bool SetPosition(int percent);
    // SetStepText, then SetPosition.
    bool Step(const String& text, int percent);

    // Holds the current step on screen until `delay` milliseconds have passed since it
    // began, pumping messages every 50 milliseconds; a closing message ends the wait. A
    // delay of 0 (automatic mode) returns at once without pumping.
    void WaitForStep(uint32_t delay);

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise(HWND dialog);

    HWND m_dialog = nullptr;
    HWND m_bar = nullptr;
    DWORD m_stepStartTick = 0;
    bool m_cancelAllowed = false;
    bool m_uninstalling = false;
    CancelListener* m_listener = nullptr;
    // Where the texts come from while the dialog is made.
    const TextSource* m_texts = nullptr;
    int m_language = 0;
};
