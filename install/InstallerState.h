#pragma once
#include "install/CommandLine.h"
#include "install/InstallLists.h"
#include "install/Payload.h"
#include "ui/BackgroundLook.h"
#include "ui/LanguageDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/Questions.h"
#include "ui/TextSource.h"

// An earlier installation of the product, found under the Uninstall key.
struct PreviousInstallation {
    String location;        // kept only when it names an existing directory
    String displayVersion;
    String sharedFiles;     // its SharedFiles value, whose counts a reinstall takes back
    bool reinstall = false; // this installation goes over it, into its location
};

// The installer's one object: what the command line asked for, the package the program
// carries (its settings, ProductFlags among them), the install directory, the language
// in use and who answers the questions. The entry makes it and the install sequence
// hands it to every step. Nothing keeps a copy of its fields, so nothing can drift: the
// product's names and flags are read from the settings where the package put them.
//
// The steps read it and change only the install directory, the RestartRequired flag
// and what they collect for later steps (the lists, the previous installation). The
// program's windows are the ui's (ui/ProgramWindows.h): the uninstaller has the same
// ones, and the fatal path must find them whichever runs. The state is also where the
// dialogs get their texts and where the language dialog and the progress dialog's
// Cancel report back.
class InstallerState final : public TextSource, public LanguageListener, public CancelListener {
public:
    explicit InstallerState(const CommandLine& line);
    InstallerState(const InstallerState&) = delete;
    InstallerState& operator=(const InstallerState&) = delete;

    const CommandLine commandLine; // as given; /d: and /n: are taken over below
    Payload payload;               // the package, once the payload step has read it
    String installDir;             // /d:, else the directory choice
    int currentLanguage = 0;       // column of the string table
    BackgroundLook look;           // the background window paints from it
    ProgressDlg progress;
    PreviousInstallation previous;
    InstallLists lists;

    const Settings& PackageSettings() const { return payload.settings; }
    bool Has(uint64_t productFlag) const { return payload.settings.Has(productFlag); }
    // Set by a step that left a file to be replaced or deleted at the next restart.
    void SetRestartRequired() { payload.settings.productFlags |= kFlagRestartRequired; }
    // The product name: /n:, else the package's. Empty until the package is read.
    const String& DisplayName() const { return payload.settings.displayName; }
    // The product's key under the Uninstall key: the package's, else the product name.
    const String& UninstallName() const { return payload.settings.uninstallName; }
    // The install directory joined with UninstallSubdir.
    String UninstallDirectory() const;
    // The uninstaller copy: the uninstall directory joined with the package's file name
    // for it.
    String UninstallerPath() const;

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
    String Text(int number) const { return Text(number, currentLanguage); }
    String Text(int number, int language) const override;
    // The same with its placeholders filled from the values, in order (MessageFormat.h).
    String TextWith(int number, const char* first, const char* second = nullptr, const char* third = nullptr) const;
    // Replaces "<product>" and "<os>" (in any letter case) by the product name and the
    // Windows directory.
    void ReplaceProductAndOs(String& text) const;
    // An error box under caption 21 ("Error" while the package has none).
    void ShowError(const String& text);
    // The error box, then the end of the program: for what the installation cannot go
    // past (an excluded Windows, a missing master product).
    [[noreturn]] void StopWithError(const String& text);

    // Replaces the path variables with this installation's folders.
    void ExpandPathVariables(String& text) const;
    // Runs one of the package's scripts in the install directory (hidden, or without
    // its pauses in automatic mode).
    void RunScript(const String& commands, bool hidden) const;

    // The progress dialog: open from the directory choice to the end of the steps.
    void OpenProgress();
    void CloseProgress();
    // The step's text (the package's message) and the bar's position.
    void Step(int textNumber, int percent) { (void)progress.Step(Text(textNumber), percent); }
    // Holds the step on screen for StepDelay milliseconds, not in automatic mode.
    void WaitForStep() { progress.WaitForStep(AutomaticMode() ? 0 : payload.settings.stepDelay); }

    // The language dialog shows another language: the title follows it.
    void LanguageShown(int language) override;
    // Cancel in the progress dialog: the person is asked, and Yes ends the program.
    void CancelPressed(HWND dialog) override;
    // The background's title becomes text 0 of the current language.
    void ShowTitle();

    // Set once the settings stream has been read whole: the table of a stream that
    // failed its checks is not to be trusted with a message.
    bool stringTableRead = false;
    // The restart question was answered Yes (or needed no answer): Windows is restarted
    // once the closing script has run.
    bool restartRequested = false;

private:
    BoxQuestions m_boxes;
    AutomaticQuestions m_questions;
};
