#include "records/UninstallList.h"

bool UninstallList::AddUninstallLine(const String& path, bool isDirectory)
{
    if (path.Length() <= 3 || path.FindFirstOf("\r\n") >= 0 || SafeLength(path.Text()) != path.Length())
        return false;
    if (isDirectory) {
        String key(path);
        key.ToUpper();
        if (!m_directories.Insert(key, 1))
            return false;
        m_text += kDirectoryMark;
    }
    m_text += path;
    m_text += "\r\n";
    return true;
}

void UninstallList::Clear()
{
    m_text.Clear();
    m_directories.SetBucketCount(kDirectoryBuckets);
}
