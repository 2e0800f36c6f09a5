// Uninstall.DAT again, now listing only what is left and the messages (the associations
// are undone), so that the record stays true whatever happens next.
#include "records/InstallLogFile.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "uninstall/Uninstaller.h"

bool RewriteRecord(Uninstaller& u)
{
    u.Step(68, 90);
    (void)DeleteOneFile(JoinPath(u.uninstallDir, kInstallLogFileName).Text(), 0);
    String text = BuildUninstallFile(u.remaining.Text(), u.record.messages, String());
    // A record that cannot be written keeps the old one, which lists more than is left;
    // a later run finds those files gone and goes on.
    (void)WriteWholeFile(JoinPath(u.uninstallDir, kUninstallFileName).Text(), text);
    u.remaining.Clear();
    return true;
}
