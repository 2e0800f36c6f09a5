#include "uninstall/Uninstall.h"
#include "install/Messages.h"

bool UninstallProduct(const String& uninstallName)
{
    // Removal is not part of this program yet: say so plainly and change nothing.
    ShowErrorBox("\"%s\" cannot be uninstalled by this version of the program.\n\nNothing was changed.",
                 uninstallName.Text());
    return false;
}
