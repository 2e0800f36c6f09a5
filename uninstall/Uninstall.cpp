#include "uninstall/Uninstall.h"
#include "ui/Questions.h"

bool UninstallProduct(const String& uninstallName, AutomaticQuestions& questions)
{
    // Removal is not part of this program yet: say so plainly and change nothing. The
    // uninstaller's own texts (caption 21 among them) come later from Uninstall.DAT.
    String text;
    text.Format("\"%s\" cannot be uninstalled by this version of the program.\n\nNothing was changed.",
                uninstallName.Text());
    questions.ShowError(text, "Error");
    return false;
}
