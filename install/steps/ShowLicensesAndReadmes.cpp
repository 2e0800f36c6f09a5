// The licence texts, each to be accepted, then the readme texts, each to be read past;
// the table's own text (63, 64) comes before the package's list. Nobody reads them in
// automatic mode.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "ui/DialogIds.h"
#include "ui/ProgramWindows.h"
#include "ui/TextDlg.h"

namespace {

using TextDialog = int (*)(HWND owner, const String& text, const TextSource& texts, int language);

bool ShowEach(InstallerState& state, int tableText, const Vector<String>& list, TextDialog show)
{
    for (int i = -1; i < list.Count(); ++i) {
        String text = i < 0 ? state.Text(tableText) : list[i];
        state.ReplaceProductAndOs(text);
        if (!text.IsEmpty() && show(TheProgramWindows().background, text, state, state.currentLanguage) != kIdOk)
            return false;
    }
    return true;
}

}

StepResult ShowLicensesAndReadmes(InstallerState& state, InstallLog&)
{
    if (state.AutomaticMode())
        return StepResult::GoOn;
    const Settings& settings = state.PackageSettings();
    bool goOn = ShowEach(state, 63, settings.licenseTexts, ShowLicenseDlg) &&
                ShowEach(state, 64, settings.readmeTexts, ShowReadmeDlg);
    return goOn ? StepResult::GoOn : StepResult::Stop;
}
