#include "records/AssociationBackup.h"

String AssociationBackupName(const String& displayName)
{
    String name(displayName);
    name += " Backup";
    name.RemoveChars("\\\r\n\t");
    return name;
}

bool NeedsAssociationBackup(const String& present, const String& replacement)
{
    return !IsBlank(present) && present.Compare(replacement, false) != 0;
}
