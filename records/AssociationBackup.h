#pragma once
#include "core/String.h"

// The value name under which an association keeps the default value it replaced, in
// the extension's key and in each key of the file type: the product's display name and
// " Backup", without backslashes, line breaks and tabs (which a value name cannot
// hold). The installer stores the old values under it; the uninstaller puts them back.
String AssociationBackupName(const String& displayName);

// Whether a default value about to be replaced by `replacement` is kept under the backup
// name: only one that says something, and something other than the new value (letter
// case aside), so that a reinstall never backs up the product's own value over the
// one it found first.
bool NeedsAssociationBackup(const String& present, const String& replacement);
