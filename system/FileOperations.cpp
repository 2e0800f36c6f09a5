#include "system/FileOperations.h"
#include "system/File.h"
#include <cstring>
#include <windows.h>

static constexpr int32_t kCompareBlock = 4096;

static bool HasName(const char* name)
{
    return name && *name;
}

int ReadWholeFile(const char* name, String& contents)
{
    contents.Clear();
    if (!HasName(name))
        return File::kInvalidName;
    File file;
    int code = file.Open(name, File::kReadShared);
    if (code != File::kOpened)
        return code;
    int32_t size = file.Size();
    if (size <= 0)
        return size == 0 ? File::kOpened : File::kMemoryLoadFailed;
    // A file too large for memory is a failed read, not the end of the program.
    if (!contents.TrySetLength(size) || !file.Read(contents.Buffer(), size)) {
        contents.Clear();
        return File::kMemoryLoadFailed;
    }
    return File::kOpened;
}

bool WriteWholeFile(const char* name, const void* bytes, int32_t length)
{
    if (!HasName(name))
        return false;
    if (length == String::kToEnd)
        length = SafeLength(static_cast<const char*>(bytes));
    if (length < 0 || (!bytes && length > 0))
        return false;
    File file;
    if (file.Open(name, File::kRewrite) != File::kOpened)
        return false;
    bool written = file.Write(bytes, length);
    return file.Close() && written;
}

bool WriteWholeFile(const char* name, const String& contents)
{
    return WriteWholeFile(name, contents.Text(), contents.Length());
}

bool WriteNewTemporaryFile(const void* bytes, int32_t length, String& name)
{
    if (length < 0 || (!bytes && length > 0))
        return false;
    File file;
    if (file.Open("", File::kNewTemporary) != File::kOpened)
        return false;
    bool written = file.Write(bytes, length);
    written = file.Close() && written;
    if (!written) {
        // Half a temporary file is of no use to anyone.
        DeleteFileA(file.Name().Text());
        return false;
    }
    name = file.Name();
    return true;
}

bool AppendText(const char* name, const String& text, int32_t options)
{
    if (!HasName(name))
        return false;
    uint32_t flags = File::kAppend | ((options & kAppendExistingOnly) ? File::kOpenExisting : 0);
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (attempt)
            Sleep(100);
        File file;
        if (file.Open(name, flags) != File::kOpened)
            return false;
        bool written = (!(options & kAppendEndLineFirst) || file.EndLine()) && file.Write(text.Text(), text.Length());
        if (written)
            return file.Close();
        if (options & kAppendGiveUpOnWrite)
            return false;
    }
    return false;
}

bool SameContents(const void* bytes, int32_t length, const char* name)
{
    if (!HasName(name) || length < 0 || (!bytes && length > 0))
        return false;
    File file;
    if (file.Open(name, File::kReadShared) != File::kOpened || file.Size() != length)
        return false;
    char block[kCompareBlock];
    const char* expected = static_cast<const char*>(bytes);
    for (int32_t done = 0; done < length;) {
        int32_t piece = length - done < kCompareBlock ? length - done : kCompareBlock;
        if (!file.Read(block, piece) || memcmp(block, expected + done, static_cast<size_t>(piece)) != 0)
            return false;
        done += piece;
    }
    return true;
}

bool CanBeOpened(const char* name)
{
    File file;
    int code = file.Open(name, File::kProbe);
    return code == File::kOpened || code == File::kLocked;
}

int32_t FileAttributes(const char* name)
{
    if (!name)
        return -1;
    return static_cast<int32_t>(GetFileAttributesA(name));
}

bool IsReadOnly(const char* name)
{
    int32_t attributes = FileAttributes(name);
    return attributes != -1 && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool SetAttributes(const char* name, uint32_t value, uint32_t mask)
{
    int32_t old = FileAttributes(name);
    if (old == -1)
        return false;
    uint32_t now = (value & mask) | (static_cast<uint32_t>(old) & ~mask);
    if (now == static_cast<uint32_t>(old))
        return true;
    // "Normal" may only stand alone, and stands for no attributes at all.
    uint32_t written = now & ~static_cast<uint32_t>(FILE_ATTRIBUTE_NORMAL);
    return SetFileAttributesA(name, written ? written : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool SetReadOnly(const char* name, bool on)
{
    return SetAttributes(name, on ? FILE_ATTRIBUTE_READONLY : 0, FILE_ATTRIBUTE_READONLY);
}

bool ClearAttributes(const char* name, uint32_t mask)
{
    return SetAttributes(name, 0, mask);
}

bool DeleteOneFile(const char* name, int32_t options)
{
    if (!HasName(name) || (options & kDeleteAtRestart))
        return false;
    if (!(options & kDeleteKeepReadOnly))
        (void)ClearAttributes(name, FILE_ATTRIBUTE_READONLY); // else the deletion fails and says so
    return DeleteFileA(name) != 0;
}
