#include "system/File.h"
#include "core/Fatal.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <cstring>
#include <windows.h>

static constexpr int32_t kWritePiece = 0x100000;   // at most this much per WriteFile
static constexpr int32_t kCompareBlock = 4096;

static HANDLE Handle(void* handle)
{
    return static_cast<HANDLE>(handle);
}

const char* File::ResultText(int code)
{
    static const char* const kTexts[] = {
        "The file was successfully opened.",
        "An unknown error occurred.",
        "The filename is invalid.",
        "The file was not found.",
        "The directory does not exist.",
        "The file is locked by another application.",
        "Failed to read the file into memory.",
        "Too many files are already open.",
        "An invalid parameter was used.",
        "The file already exists.",
        "Too many indexed files exist.",
        "Access denied.",
        "The file's Read-Only attribute is set.",
    };
    if (code < 0 || code >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0])))
        return kTexts[kUnknownError];
    return kTexts[code];
}

int File::ResultOfError(uint32_t error, bool wantWrite) const
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return kNotFound;
    case ERROR_PATH_NOT_FOUND:
        return kNoDirectory;
    case ERROR_TOO_MANY_OPEN_FILES:
        return kTooManyOpen;
    case ERROR_ACCESS_DENIED: {
        DWORD attributes = GetFileAttributesA(m_name.Text());
        bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        return wantWrite && readOnly ? kReadOnly : kAccessDenied;
    }
    case ERROR_SHARING_VIOLATION:
        return kLocked;
    case ERROR_FILE_EXISTS:
        return kAlreadyExists;
    case ERROR_INVALID_PARAMETER:
        return kInvalidParameter;
    case ERROR_INVALID_NAME:
        return kInvalidName;
    default:
        return kUnknownError;
    }
}

int File::OpenFailed(int code, uint32_t flags)
{
    m_errorText = ResultText(code);
    if (flags & kRequired)
        FatalMessage("Failed to open required file:\r\n%s\r\n\r\n%s", m_name.Text(), m_errorText.Text());
    return code;
}

// Sets m_name from the caller's name and the name mode. The temporary-file modes let
// Windows make a new empty file; when that fails, `error` holds why.
bool File::WorkOutName(const char* name, uint32_t mode, uint32_t& error)
{
    String directory;
    switch (mode) {
    case kNameAsGiven:
        m_name = name;
        return true;
    case kInTemporaryDirectory:
        m_name = JoinPath(TemporaryDirectory(), name);
        return true;
    case kNewTemporary:
        break;
    case kNewTemporaryInDirectory:
        directory = name;
        break;
    case kNewTemporaryBeside:
        directory = DirectoryPart(name);
        break;
    default:
        m_name = name;
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (directory.IsEmpty())
        directory = TemporaryDirectory();
    char buffer[MAX_PATH];
    if (!GetTempFileNameA(directory.Text(), kTemporaryPrefix, 0, buffer)) {
        error = GetLastError();
        m_name = directory;
        return false;
    }
    m_name = buffer;
    return true;
}

int File::Open(const char* name, uint32_t flags, uint32_t attributes)
{
    Close();
    uint32_t mode = flags & kNameModeMask;
    if ((!name || !*name) && mode != kNewTemporary) {
        m_name.Clear();
        return OpenFailed(kInvalidName, flags);
    }

    bool wantRead = !(flags & kNoRead);
    bool wantWrite = !(flags & kNoWrite);
    bool shareRead = flags & kShareRead;
    bool shareWrite = flags & kShareWrite;
    // Whoever gives up one kind of access has no reason to deny it to others.
    if (!wantRead && shareWrite)
        shareRead = true;
    if (!wantWrite && shareRead)
        shareWrite = true;
    DWORD access = (wantRead ? GENERIC_READ : 0) | (wantWrite ? GENERIC_WRITE : 0);
    DWORD share = (shareRead ? FILE_SHARE_READ : 0) | (shareWrite ? FILE_SHARE_WRITE : 0);

    uint32_t creation = flags & kCreationMask;
    uint32_t error = 0;
    if (!WorkOutName(name ? name : "", mode, error))
        return OpenFailed(ResultOfError(error, wantWrite), flags);
    if (mode == kNewTemporary || mode == kNewTemporaryInDirectory || mode == kNewTemporaryBeside)
        creation = kCreateAlways;
    static const DWORD kDisposition[] = { OPEN_ALWAYS, OPEN_EXISTING, CREATE_NEW, CREATE_ALWAYS };

    // One counter serves both retry rules: kRetryOnce buys one early retry after any
    // failure, and a sharing violation is tried again while the counter is below 5.
    int attempts = 0;
    HANDLE handle;
    for (;;) {
        handle = CreateFileA(m_name.Text(), access, share, nullptr, kDisposition[creation], attributes, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            break;
        error = GetLastError();
        if (flags & kRetryOnce) {
            if (attempts++ == 0) {
                Sleep(150);
                continue;
            }
        }
        if (error == ERROR_SHARING_VIOLATION && !(flags & kNoSharingRetry) && attempts < 5) {
            ++attempts;
            Sleep(100);
            continue;
        }
        return OpenFailed(ResultOfError(error, wantWrite), flags);
    }

    m_handle = handle;
    m_canRead = wantRead;
    m_canWrite = wantWrite;
    if ((flags & kInMemory) && !LoadMemoryImage()) {
        Close();
        return OpenFailed(kMemoryLoadFailed, flags);
    }
    if (flags & kAppend)
        SeekFromEnd(0);
    if (flags & kTestOnly)
        Close();
    return kOpened;
}

bool File::Close()
{
    bool written = true;
    if (m_handle) {
        if (m_inMemory && m_dirty)
            written = WriteMemoryImageBack();
        CloseHandle(Handle(m_handle));
        m_handle = nullptr;
    }
    m_canRead = m_canWrite = m_inMemory = m_dirty = false;
    m_image.Reset();
    m_savedPositions.Clear();
    return written;
}

bool File::LoadMemoryImage()
{
    int32_t size = Size();
    if (size < 0 || !m_image.Contents().TrySetLength(size))
        return false;
    if (!ReadAt(0, m_image.Contents().Buffer(), size)) {
        m_image.Reset();
        return false;
    }
    m_image.Seek(0);
    m_dirty = false;
    m_inMemory = true;
    return true;
}

bool File::WriteMemoryImageBack()
{
    m_inMemory = m_dirty = false;
    const String& contents = m_image.Contents();
    bool written = SeekHandle(0, FILE_BEGIN) && Write(contents.Text(), contents.Length()) &&
                   SetEndOfFile(Handle(m_handle));
    m_image.Reset();
    return written;
}

bool File::Read(void* destination, int32_t size)
{
    if (size == 0)
        return true;
    if (size < 0) {
        m_errorText.Format("Illegal block size %d", size);
        return false;
    }
    if (!destination) {
        m_errorText = "NULL block pointer";
        return false;
    }
    if (!m_canRead) {
        m_errorText = "Read access denied";
        return false;
    }
    if (m_inMemory) {
        if (m_image.Read(destination, size))
            return true;
        m_errorText = "Read past end of file";
        return false;
    }
    if (!m_handle) {
        m_errorText = "File not open";
        return false;
    }
    DWORD got = 0;
    if (!ReadFile(Handle(m_handle), destination, static_cast<DWORD>(size), &got, nullptr)) {
        m_errorText = LastErrorText();
        return false;
    }
    if (got < static_cast<DWORD>(size)) {
        m_errorText = "Read past end of file";
        return false;
    }
    return true;
}

bool File::Write(const void* source, int32_t size)
{
    if (size == 0)
        return true;
    if (size < 0) {
        m_errorText = "Illegal block size";
        return false;
    }
    if (!source) {
        m_errorText = "NULL block pointer";
        return false;
    }
    if (!m_canWrite) {
        m_errorText = "Write access denied";
        return false;
    }
    if (m_inMemory) {
        if (!m_image.Write(source, size)) {
            m_errorText = "Not all data could be written";
            return false;
        }
        m_dirty = true;
        return true;
    }
    if (!m_handle) {
        m_errorText = "File not open";
        return false;
    }
    const char* bytes = static_cast<const char*>(source);
    while (size > 0) {
        int32_t piece = size < kWritePiece ? size : kWritePiece;
        DWORD written = 0;
        if (!WriteFile(Handle(m_handle), bytes, static_cast<DWORD>(piece), &written, nullptr)) {
            m_errorText = LastErrorText();
            return false;
        }
        if (written != static_cast<DWORD>(piece)) {
            m_errorText = "Not all data could be written";
            return false;
        }
        bytes += piece;
        size -= piece;
    }
    return true;
}

bool File::SeekHandle(int32_t offset, uint32_t method)
{
    if (!m_handle)
        return false;
    // Offsets stay below 2 GB, so the low word alone carries them; its all-ones value
    // is then always a failure.
    return SetFilePointer(Handle(m_handle), offset, nullptr, method) != INVALID_SET_FILE_POINTER;
}

int32_t File::Position()
{
    if (!m_handle)
        return -1;
    if (m_inMemory)
        return m_image.Position();
    DWORD position = SetFilePointer(Handle(m_handle), 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER || position > 0x7fffffffu ? -1 : static_cast<int32_t>(position);
}

bool File::Seek(int32_t offset)
{
    if (m_handle && m_inMemory)
        return m_image.Seek(offset);
    return SeekHandle(offset, FILE_BEGIN);
}

bool File::SeekFromEnd(int32_t offset)
{
    if (m_handle && m_inMemory) {
        int64_t position = static_cast<int64_t>(m_image.Contents().Length()) + offset;
        return position >= 0 && position <= 0x7fffffff && m_image.Seek(static_cast<int32_t>(position));
    }
    return SeekHandle(offset, FILE_END);
}

int32_t File::Size()
{
    if (!m_handle)
        return -1;
    if (m_inMemory)
        return m_image.Contents().Length();
    PushPosition();
    int32_t size = SeekFromEnd(0) ? Position() : -1;
    PopPosition();
    return size;
}

bool File::NotAtEnd()
{
    int32_t position = Position();
    return position >= 0 && position < Size();
}

bool File::AtEnd()
{
    return Position() == Size();
}

bool File::TruncateHere()
{
    if (!m_canWrite || !m_handle)
        return false;
    if (m_inMemory) {
        m_image.Finish();
        m_dirty = true;
        return true;
    }
    return SetEndOfFile(Handle(m_handle)) != 0;
}

bool File::Flush()
{
    return m_handle && FlushFileBuffers(Handle(m_handle));
}

void File::PushPosition()
{
    m_savedPositions.Push(Position());
}

void File::PopPosition()
{
    if (!m_savedPositions.IsEmpty())
        Seek(m_savedPositions.Pop());
}

bool File::ReadAt(int32_t offset, void* destination, int32_t size)
{
    PushPosition();
    bool read = Seek(offset) && Read(destination, size);
    PopPosition();
    return read;
}

bool File::ReadTail(void* destination, int32_t n)
{
    if (n <= 0)
        return false;
    int32_t size = Size();
    return size >= n && ReadAt(size - n, destination, n);
}

String File::ReadText()
{
    String text;
    char c;
    while (Read(&c, 1) && c)
        text.Append(c);
    return text;
}

bool File::WriteTextAtEnd(const String& text)
{
    int32_t size = Size();
    if (size < 0)
        return false;
    bool elsewhere = Position() != size;
    if (elsewhere) {
        PushPosition();
        SeekFromEnd(0);
    }
    bool written = Write(text.Text(), text.Length());
    if (elsewhere)
        PopPosition();
    return written;
}

bool File::EndLine()
{
    int32_t size = Size();
    if (size < 0)
        return false;
    if (size == 0)
        return true;
    uint8_t last = 0;
    if (!ReadLastByte(last))
        return false;
    return last == '\r' || last == '\n' || WriteTextAtEnd("\r\n");
}

bool File::SetLastWriteTime(const FileStamp& stamp)
{
    FILETIME time;
    if (!m_handle || !stamp.ToFileTime(time))
        return false;
    FlushFileBuffers(Handle(m_handle));
    return SetFileTime(Handle(m_handle), nullptr, nullptr, &time) != 0;
}

// Whole-file helpers --------------------------------------------------------------------

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
        ClearAttributes(name, FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(name) != 0;
}
