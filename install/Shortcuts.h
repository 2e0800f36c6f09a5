#pragma once
#include "core/String.h"

class InstallerState;
class InstallLog;

// What the two shortcut steps share: the uninstaller as a shortcut's target, the folders
// the shortcuts go into, and the saving of one link with its failure report.

// The uninstaller copy in the uninstall directory, and the arguments that make it
// uninstall this product: /u:"<uninstall name>".
String UninstallerPath(const InstallerState& state);
String UninstallerArguments(const InstallerState& state);

// The Start Menu folder of the product's shortcuts: the programs folder (all users' with
// ShortcutMode 1) and the package's Start Menu folder name below it, if any.
String ProductProgramsFolder(const InstallerState& state);

// Saves the shortcut at `link` (".LNK" already on it). A failure goes to the error report
// as a file that could not be made (message 31, the link, the system's reason). True
// when the link was saved.
bool SaveShortcut(const InstallerState& state, InstallLog& log, const String& link, const String& target,
                  const String& arguments, const String& workdir, const String& icon);
