// File associations put back as they were. The installer kept every default value it
// replaced under the backup value name, in the extension's key and in the type's keys;
// here each comes back, and what the installer made alone goes away.
#include "records/AssociationBackup.h"
#include "system/SystemFolders.h"
#include "uninstall/Uninstaller.h"

namespace {

// Puts the key's backed-up default value back and removes the backup. True when there
// was one: the key then was there before the installation.
bool RestoreDefault(RegistryKey& key, const String& backupName)
{
    String backup = key.ReadText(backupName.Text());
    if (IsBlank(backup))
        return false;
    (void)key.WriteText(nullptr, backup);
    (void)key.DeleteValue(backupName.Text());
    return true;
}

// The current key holds nothing the installer did not put there: no sub-keys, and no
// value but a default value written by the installer (a description, a default verb),
// which would otherwise keep a type of the product registered for ever.
bool HoldsOnlyOurs(const RegistryKey& key, bool restored)
{
    int32_t values = key.ValueCount();
    return key.SubKeyCount() == 0 &&
           (values == 0 || (values == 1 && !restored && key.ValueExists(nullptr)));
}

void Restore(const FileAssociation& association, const String& backupName)
{
    const char* extension = association.extension.Text();
    RegistryKey key;
    bool extensionIsOurs = true;
    if (key.Open(HKEY_CLASSES_ROOT, extension, RegistryKey::kExistingOnly)) {
        extensionIsOurs = !RestoreDefault(key, backupName);
        key.Close();
    }

    if (!key.Open(HKEY_CLASSES_ROOT, association.typeName.Text(), RegistryKey::kExistingOnly))
        return;
    bool typeRestored = RestoreDefault(key, backupName);
    // An icon is only put back, never deleted: the type keeps the key, and so stays.
    if (key.OpenBelow("DefaultIcon", RegistryKey::kExistingOnly)) {
        (void)RestoreDefault(key, backupName);
        key.Close();
    }
    if (key.OpenBelow("shell", RegistryKey::kExistingOnly)) {
        bool verbRestored = RestoreDefault(key, backupName);
        bool commandRestored = false;
        if (key.OpenBelow(association.verb.Text(), RegistryKey::kExistingOnly)) {
            if (key.OpenBelow("command", RegistryKey::kExistingOnly)) {
                commandRestored = RestoreDefault(key, backupName);
                key.Close();
            }
            key.Close();
            if (!commandRestored)
                (void)key.DeleteKey(association.verb.Text());
        }
        bool shellIsOurs = HoldsOnlyOurs(key, verbRestored);
        key.Close();
        if (shellIsOurs)
            (void)key.DeleteKey("shell");
    }
    bool typeIsOurs = HoldsOnlyOurs(key, typeRestored);
    key.Close();
    if (!typeIsOurs)
        return;
    (void)RegistryKey::DeleteKeyAt(HKEY_CLASSES_ROOT, "", association.typeName.Text());
    if (!extensionIsOurs || !key.Open(HKEY_CLASSES_ROOT, extension, RegistryKey::kExistingOnly))
        return;
    // The extension's key may hold more than the installer wrote (a ShellNew entry, a
    // content type): then only the default value that named the type goes.
    bool onlyDefault = HoldsOnlyOurs(key, false);
    if (!onlyDefault && key.ReadText(nullptr).Compare(association.typeName, false) == 0)
        (void)key.DeleteValue(nullptr);
    key.Close();
    if (onlyDefault)
        (void)RegistryKey::DeleteKeyAt(HKEY_CLASSES_ROOT, "", extension);
}

}

bool RestoreAssociations(Uninstaller& u)
{
    if (u.record.associations.IsEmpty())
        return true;
    u.Step(70, 1);
    String backupName = AssociationBackupName(u.entry.displayName);
    for (const FileAssociation& association : u.record.associations)
        Restore(association, backupName);
    (void)NotifyAssociationsChanged();
    return true;
}
