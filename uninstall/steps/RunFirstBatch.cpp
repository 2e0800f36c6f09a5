// The product's first uninstall batch runs in the install directory before anything is
// removed; the value goes with it, so a second run does not repeat it.
#include "records/UninstallValue.h"
#include "system/CommandBatch.h"
#include "ui/MessagePump.h"
#include "uninstall/Uninstaller.h"

bool RunFirstBatch(Uninstaller& u)
{
    if (IsBlank(u.entry.uninstallBatch1))
        return true;
    uint32_t options = (u.Has(kFlagHideUninstallBatch1) ? kBatchHidden : 0) | (u.Automatic() ? kBatchNoPauses : 0);
    (void)RunBatch(u.InstallDir(), u.entry.sharedPath, u.entry.uninstallBatch1, options, PumpMessages);
    (void)u.key.DeleteValue(UninstallValueName::kUninstallBatch1);
    return true;
}
