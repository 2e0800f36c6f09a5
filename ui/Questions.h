#pragma once
#include "core/String.h"
#include <cstdint>

// Everything the program asks or tells the person at the machine goes through
// Questions. Callers hand in the finished texts (looked up and formatted in the current
// language) and get the choice back; they never test automatic mode themselves.
// AutomaticQuestions decides, in one place, what automatic mode answers.

enum class BoxIcon : uint8_t { Information, Question, Exclamation, Stop };

enum class BoxButtons : uint8_t { YesNo, OkCancel };

// What a question is about, which decides how automatic mode answers it.
enum class QuestionKind : uint8_t {
    GoOn,    // whether to go on as planned (opening question, reinstall, low disk space,
             // removing a font or a shared file): automatic mode goes on, Yes
    Offer,   // whether to do something extra (show the log): automatic mode declines, No
    Restart, // whether to restart Windows now: Yes, unless the package asks for the
             // question in automatic mode too
    Needed,  // only the person can answer (insert the next disk, confirm the cancel
             // they clicked): always asked
};

class Questions {
public:
    // True for Yes or OK.
    virtual bool Ask(const String& text, const String& caption, BoxButtons buttons, BoxIcon icon,
                     QuestionKind kind) = 0;
    // An error; the program goes on. An empty text shows nothing. The icon is the
    // error's own unless a summary of failures asks for the exclamation mark.
    virtual void ShowError(const String& text, const String& caption, BoxIcon icon) = 0;
    void ShowError(const String& text, const String& caption) { ShowError(text, caption, BoxIcon::Stop); }
    // A message for the person, such as the closing message.
    virtual void Tell(const String& text, const String& caption, BoxIcon icon) = 0;

    bool AskYesNo(const String& text, const String& caption, BoxIcon icon, QuestionKind kind)
    {
        return Ask(text, caption, BoxButtons::YesNo, icon, kind);
    }

protected:
    ~Questions() = default;
};

// Asks with message boxes in front of the program's windows.
class BoxQuestions final : public Questions {
public:
    bool Ask(const String& text, const String& caption, BoxButtons buttons, BoxIcon icon, QuestionKind kind) override;
    using Questions::ShowError;
    void ShowError(const String& text, const String& caption, BoxIcon icon) override;
    void Tell(const String& text, const String& caption, BoxIcon icon) override;
};

// The flags of the package that change what automatic mode does.
struct AutomaticAnswers {
    bool showErrors = false;  // ShowErrorsInAutomatic: errors are shown all the same
    bool askRestart = false;  // AskRestartInAutomatic: the restart question is asked
};

// Outside automatic mode every question goes to `person`. In automatic mode nobody is
// asked except where only the person can answer: the answer follows the question's
// kind, errors are shown only when the package asks for it, and messages not at all.
class AutomaticQuestions final : public Questions {
public:
    explicit AutomaticQuestions(Questions& person) : m_person(person) {}

    void SetMode(bool automatic, AutomaticAnswers answers)
    {
        m_automatic = automatic;
        m_answers = answers;
    }
    bool IsAutomatic() const { return m_automatic; }

    bool Ask(const String& text, const String& caption, BoxButtons buttons, BoxIcon icon, QuestionKind kind) override;
    using Questions::ShowError;
    void ShowError(const String& text, const String& caption, BoxIcon icon) override;
    void Tell(const String& text, const String& caption, BoxIcon icon) override;

private:
    Questions& m_person;
    bool m_automatic = false;
    AutomaticAnswers m_answers;
};

// The application's display of system errors (system/SystemError.h): an error box with
// the caption, in front of the program's windows.
void ShowSystemErrorBox(const char* caption, const char* text);
