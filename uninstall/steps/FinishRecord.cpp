// Once everything else is gone: the record, the PATH line, the last uninstall batch and
// the product's entry in the list of installed programs.
#include "records/UninstallValue.h"
#include "system/AutoexecPath.h"
#include "system/CommandBatch.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/SystemPaths.h"
#include "ui/MessagePump.h"
#include "uninstall/Uninstaller.h"

bool FinishRecord(Uninstaller& u)
{
    if (!u.errors.IsEmpty())
        return true;
    (void)DeleteOneFile(JoinPath(u.uninstallDir, kUninstallFileName).Text(), 0);
    if (u.Has(kFlagAddToPath))
        u.questions.ShowError(EditAutoexecPath(u.InstallDir(), false), "Error");

    if (!IsBlank(u.entry.uninstallBatch2)) {
        // The install directory is gone by now: the batch runs in the root of its drive
        // (in the temporary directory for a network path).
        char letter = DriveLetter(u.InstallDir());
        char root[] = { letter, ':', '\\', 0 };
        uint32_t options = (u.Has(kFlagHideUninstallBatch2) ? kBatchHidden : 0) | (u.Automatic() ? kBatchNoPauses : 0);
        (void)RunBatch(letter ? String(root) : TemporaryDirectory(), u.entry.sharedPath, u.entry.uninstallBatch2, options,
                       PumpMessages);
        (void)u.key.DeleteValue(UninstallValueName::kUninstallBatch2);
    }

    u.key.CloseAll();
    String parent("Software\\");
    parent += kUninstallKeyPath;
    if (RegistryKey::DeleteKeyAt(HKEY_LOCAL_MACHINE, parent.Text(), u.name.Text()) != RegistryKey::kDeleted)
        u.errors.AppendFormat("Unable to remove the registry key HKEY_LOCAL_MACHINE\\%s\\%s\r\n", parent.Text(),
                              u.name.Text());
    return true;
}
