#include "ui/ProgramWindows.h"
#include "ui/Questions.h"

namespace {

UINT IconStyle(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Question:
        return MB_ICONQUESTION;
    case BoxIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case BoxIcon::Stop:
        return MB_ICONSTOP;
    default:
        return MB_ICONINFORMATION;
    }
}

int ShowBox(const char* text, const char* caption, UINT style)
{
    return MessageBoxA(TheProgramWindows().BoxOwner(), text, caption, style);
}

}

bool BoxQuestions::Ask(const String& text, const String& caption, BoxButtons buttons, BoxIcon icon, QuestionKind)
{
    UINT style = (buttons == BoxButtons::OkCancel ? MB_OKCANCEL : MB_YESNO) | IconStyle(icon);
    int answer = ShowBox(text.Text(), caption.Text(), style);
    return answer == IDYES || answer == IDOK;
}

void BoxQuestions::ShowError(const String& text, const String& caption, BoxIcon icon)
{
    if (!text.IsEmpty())
        ShowBox(text.Text(), caption.Text(), MB_OK | IconStyle(icon));
}

void BoxQuestions::Tell(const String& text, const String& caption, BoxIcon icon)
{
    ShowBox(text.Text(), caption.Text(), MB_OK | IconStyle(icon));
}

void ShowSystemErrorBox(const char* caption, const char* text)
{
    ShowBox(text, caption, MB_OK | MB_ICONERROR);
}
