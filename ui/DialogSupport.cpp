#include "ui/DialogSupport.h"

void CenterWindow(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width > screenWidth)
        width = screenWidth;
    if (height > screenHeight)
        height = screenHeight;
    int left = (screenWidth - width) / 2;
    int top = (screenHeight - height) / 2;
    MoveWindow(window, left > 0 ? left : 0, top > 0 ? top : 0, width, height, FALSE);
}

void SetDialogTexts(HWND dialog, const DialogText* texts, int count, const TextSource& source, int language)
{
    for (int i = 0; i < count; ++i) {
        String text = source.Text(texts[i].number, language);
        HWND control = texts[i].control ? GetDlgItem(dialog, texts[i].control) : dialog;
        SetWindowTextA(control, text.Text());
    }
}

String DialogItemText(HWND dialog, int control)
{
    HWND item = GetDlgItem(dialog, control);
    String text;
    int length = GetWindowTextLengthA(item);
    if (length > 0 && text.TrySetLength(length)) {
        GetWindowTextA(item, text.Buffer(), length + 1);
        text.RecountLength();
    }
    return text;
}
