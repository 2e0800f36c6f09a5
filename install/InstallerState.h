#pragma once
#include "install/CommandLine.h"
#include "install/Payload.h"
#include "ui/Questions.h"

// The installer's one object: what the command line asked for, the package the program
// carries (its settings, ProductFlags among them), the install directory, the language
// in use and who answers the questions. The entry makes it and the install sequence
// hands it to every step. Nothing keeps a copy of its fields, so nothing can drift: the
// product's names and flags are read from the settings where the package put them.
//
// The steps read it and change only the install directory and the RestartRequired flag.
// The program's windows are the ui's (ui/ProgramWindows.h): the uninstaller has the
// same ones, and the fatal path must find them whichever runs.
class InstallerState {
public:
    explicit InstallerState(const CommandLine& line);
    InstallerState(const InstallerState&) = delete;
    InstallerState& operator=(const InstallerState&) = delete;

    const CommandLine commandLine; // as given; /d: and /n: are taken over below
    Payload payload;               // the package, once the payload step has read it
    String installDir;             // /d:, else the directory choice
    int currentLanguage = 0;       // column of the string table

    const Settings& PackageSettings() const { return payload.settings; }
    bool Has(uint64_t productFlag) const { return payload.settings.Has(productFlag); }
    // Set by a step that left a file to be replaced or deleted at the next restart.
    void SetRestartRequired() { payload.settings.productFlags |= kFlagRestartRequired; }
    // The product name: /n:, else the package's. Empty until the package is read.
    const String& DisplayName() const { return payload.settings.displayName; }
    // The product's key under the Uninstall key: the package's, else the product name.
    const String& UninstallName() const { return payload.settings.uninstallName; }

    // Automatic mode: /a or ForceAutomatic. Settled again once the product flags are
    // known; the one place where the way questions are answered is chosen.
    bool AutomaticMode() const { return m_questions.IsAutomatic(); }
    void SettleAutomaticMode();
    // For the one case that must speak to the person even in automatic mode (a refused
    // reinstallation).
    void LeaveAutomaticMode();
    Questions& Ask() { return m_questions; }

    // The package's text `number` in the current language with "<product>" and "<os>"
    // replaced; empty until the string table has been read, and outside the table.
    String Text(int number) const;
    // Replaces "<product>" and "<os>" (in any letter case) by the product name and the
    // Windows directory.
    void ReplaceProductAndOs(String& text) const;
    // An error box under caption 21 ("Error" while the package has none).
    void ShowError(const String& text);

    // Set once the settings stream has been read whole: the table of a stream that
    // failed its checks is not to be trusted with a message.
    bool stringTableRead = false;

private:
    BoxQuestions m_boxes;
    AutomaticQuestions m_questions;
};
