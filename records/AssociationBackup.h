#pragma once
#include "core/String.h"

// The value name under which an association keeps the default value it replaced, in
// the extension's key and in each key of the file type: the product's display name and
// " Backup", without backslashes, line breaks and tabs (which a value name cannot
// hold). The installer stores the old values under it; the uninstaller puts them back.
String AssociationBackupName(const String& displayName);
