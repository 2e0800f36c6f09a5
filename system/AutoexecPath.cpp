#include "system/AutoexecPath.h"
#include "system/File.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"

String EditAutoexecPath(const String& installDir, bool add)
{
    char name[] = { BootDrive(), ':', '\\', 0 };
    String path(name);
    path += "autoexec.bat";
    File file;
    if (file.Open(path.Text(), add ? File::kOpenAlways : File::kOpenExisting) == File::kOpened) {
        String content;
        int32_t size = file.Size();
        if (size >= 0 && content.TrySetLength(size) && file.Read(content.Buffer(), size)) {
            if (!EditPathLine(content, AutoexecPathLine(ShortName(installDir)), add))
                return String();
            // A file left half written must not pass for a success: the person is told
            // to look at it.
            if (file.Seek(0) && file.Write(content.Text(), content.Length()) && file.TruncateHere() && file.Close())
                return String();
        }
    }
    String message;
    message.Format("Unable to modify %s.  You will need to manually %s %s %s the PATH environment variable.\r\n\r\n",
                   path.Text(), add ? "add" : "remove", installDir.Text(), add ? "to" : "from");
    return message;
}
