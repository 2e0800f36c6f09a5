// The package's file associations: each extension is bound to its file type, and the
// type gets its description, icon, verb and command. Every default value replaced on the
// way is kept under the backup value name ("<product> Backup") in its key, so that the
// uninstaller can put the machine back as it found it; Uninstall.DAT's association
// record names what to undo.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/AssociationBackup.h"
#include "records/InstallLog.h"
#include "records/UninstallFile.h"
#include "system/RegistryKey.h"
#include "system/SystemFolders.h"

namespace {

// Makes `value` the current key's default value, keeping a different one it replaces.
// Only the final command's write is looked at: the rest are the type's trimmings.
bool ReplaceDefault(RegistryKey& key, const String& backupName, const String& value)
{
    String present = key.ReadText(nullptr);
    if (NeedsAssociationBackup(present, value))
        (void)key.WriteText(backupName.Text(), present);
    return key.WriteText(nullptr, value);
}

// The type's keys below HKEY_CLASSES_ROOT\<type>: description, icon, the verb (made the
// default one when the package says so) and its command. True when the command was
// written: then the association works.
bool WriteFileType(InstallerState& state, RegistryKey& key, const FileAssociation& association, bool typeGiven,
                   const String& backupName)
{
    if (typeGiven && !IsBlank(association.description))
        (void)ReplaceDefault(key, backupName, association.description);
    if (!IsBlank(association.icon) && key.OpenBelow("DefaultIcon")) {
        String icon(association.icon);
        state.ExpandPathVariables(icon);
        (void)ReplaceDefault(key, backupName, icon);
        key.Close();
    }
    if (!key.OpenBelow("shell"))
        return false;
    if (association.flags & kAssociationDefaultVerb)
        (void)ReplaceDefault(key, backupName, association.verb);
    if (!key.OpenBelow(association.verb.Text()))
        return false;
    (void)key.WriteText(nullptr, association.verbCaption);
    if (!key.OpenBelow("command"))
        return false;
    String command(association.command);
    state.ExpandPathVariables(command);
    return ReplaceDefault(key, backupName, command);
}

// One association; true when its command was written.
bool Associate(InstallerState& state, InstallLog& log, const FileAssociation& association, const String& backupName)
{
    String extension(association.extension);
    (void)extension.PrependCharOnce('.');
    // Without a verb the verb's key would be the shell key itself, and the caption would
    // overwrite its default verb; the uninstaller would then remove the whole shell key.
    if (IsBlank(association.verb)) {
        log.AssociationFailed(extension);
        return false;
    }
    String typeName(association.typeName);
    bool typeGiven = !typeName.IsEmpty();
    RegistryKey key;
    if (key.Open(HKEY_CLASSES_ROOT, extension.Text(), typeGiven ? 0 : RegistryKey::kExistingOnly)) {
        if (typeGiven)
            (void)ReplaceDefault(key, backupName, typeName);
        else
            typeName = key.ReadText(nullptr);
        key.Close();
    }
    // An extension with no type of its own to borrow: writing under an empty type name
    // would put the verb at the root of HKEY_CLASSES_ROOT.
    if (IsBlank(typeName))
        return false;
    bool done = false;
    if (key.Open(HKEY_CLASSES_ROOT, typeName.Text()))
        done = WriteFileType(state, key, association, typeGiven, backupName);
    key.CloseAll();
    AppendAssociationLine(state.lists.associations, extension, typeName, association.verb);
    if (!done)
        log.AssociationFailed(extension);
    return done;
}

}

StepResult ApplyAssociations(InstallerState& state, InstallLog& log)
{
    const Settings& settings = state.PackageSettings();
    // The installer language's name; an association made for one language applies only
    // under that exact name.
    const String* language = settings.languages.ElementOrNull(state.currentLanguage);
    String backupName = AssociationBackupName(state.DisplayName());
    bool changed = false;
    for (const FileAssociation& association : settings.associations) {
        if (association.extension.IsEmpty())
            continue;
        if (!association.language.IsEmpty() && (!language || association.language != *language))
            continue;
        if (Associate(state, log, association, backupName))
            changed = true;
    }
    if (changed)
        (void)NotifyAssociationsChanged();
    return StepResult::GoOn;
}
