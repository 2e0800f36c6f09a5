#include "records/AssociationBackup.h"

String AssociationBackupName(const String& displayName)
{
    String name(displayName);
    name += " Backup";
    name.RemoveChars("\\\r\n\t");
    return name;
}
