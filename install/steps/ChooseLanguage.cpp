// The language of the installation: asked when the package has more than one and
// somebody is there to choose; otherwise English, or the first. The background's title
// follows the choice.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "ui/DialogIds.h"
#include "ui/ProgramWindows.h"

StepResult ChooseLanguage(InstallerState& state, InstallLog&)
{
    const Vector<String>& languages = state.PackageSettings().languages;
    if (languages.Count() > 1 && !state.AutomaticMode()) {
        int language = state.currentLanguage;
        if (ShowLanguageDlg(TheProgramWindows().background, languages, state, &state, language) != kIdOk)
            return StepResult::Stop;
        state.currentLanguage = language;
    }
    state.ShowTitle();
    return StepResult::GoOn;
}
