#include "uninstall/Uninstall.h"
#include "records/UninstallMessages.h"
#include "system/SystemPaths.h"
#include "ui/ProgramWindows.h"
#include "uninstall/Uninstaller.h"

namespace {

// The procedure: the steps in the order they undo the installation. A paced step stays
// on screen for half a second outside automatic mode, so that the person can see what
// happens.
struct ProcedureStep {
    UninstallStep run;
    bool paced;
};

const ProcedureStep kProcedure[] = {
    { OpenRecord, false },
    { ConfirmUninstall, false },
    { RunFirstBatch, false },
    { RestoreAssociations, true },
    { RemoveFonts, true },
    { RemoveFiles, true },
    { RewriteRecord, false },
    { RemoveStartMenuFolder, false },
    { ReleaseSharedFiles, true },
    { RemoveProductKeys, true },
    { RemoveInstallTree, false },
    { FinishRecord, false },
};

}

bool Uninstall(const String& name, AutomaticQuestions& questions, ProductPlace& place)
{
    // This program's own current directory, wherever it was started from, must not keep
    // a directory of the product from being removed.
    (void)SetCurrentDirectoryA(WindowsDirectory().Text());

    Uninstaller u(name, questions);
    for (const ProcedureStep& step : kProcedure) {
        if (!step.run(u))
            return false;
        if (step.paced)
            u.Pace();
    }

    u.key.CloseAll();
    u.progress.Destroy();
    TheProgramWindows().progress = nullptr;
    if (!u.errors.IsEmpty()) {
        questions.ShowError(FillInMessage(u.Message(10), u.errors), u.Message(20), BoxIcon::Exclamation);
        return false;
    }
    questions.Tell(u.Message(34), u.Message(15), BoxIcon::Information);
    place.installDir = u.InstallDir();
    if (!u.entry.uninstallSubdir.IsEmpty())
        place.uninstallDir = u.uninstallDir;
    return true;
}
