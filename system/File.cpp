#include "system/File.h"
#include "core/Fatal.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <windows.h>

static constexpr int32_t kWritePiece = 0x100000;   // at most this much per WriteFile

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

int File::OpenFailed(int code, uint32_t error, uint32_t flags)
{
    m_errorText = ResultText(code);
    m_systemError = error;
    if (flags & kRequired)
        FatalMessage("Failed to open required file:\r\n%s\r\n\r\n%s", m_name.Text(), m_errorText.Text());
    return code;
}

// Sets m_name from the caller's name and the name mode. The temporary-file modes let
// Windows make a new empty file; when that fails, `error` holds why.
bool File::Refuse(const char* text)
{
    m_errorText = text;
    m_systemError = 0;
    return false;
}

bool File::SystemFailure(uint32_t error)
{
    m_systemError = error;
    m_errorText = SystemErrorText(error);
    return false;
}

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
    // A file that was open before goes whatever became of its memory image: the new
    // open is what the caller asked about.
    (void)Close();
    uint32_t mode = flags & kNameModeMask;
    if ((!name || !*name) && mode != kNewTemporary) {
        m_name.Clear();
        return OpenFailed(kInvalidName, 0, flags);
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
        return OpenFailed(ResultOfError(error, wantWrite), error, flags);
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
        return OpenFailed(ResultOfError(error, wantWrite), error, flags);
    }

    m_handle.Reset(handle);
    m_canRead = wantRead;
    m_canWrite = wantWrite;
    if ((flags & kInMemory) && !LoadMemoryImage()) {
        error = m_systemError;
        (void)Close();
        return OpenFailed(kMemoryLoadFailed, error, flags);
    }
    // Appending at the start would overwrite what the file holds.
    if ((flags & kAppend) && !SeekFromEnd(0)) {
        error = m_systemError;
        (void)Close();
        return OpenFailed(kUnknownError, error, flags);
    }
    if (flags & kTestOnly)
        (void)Close();
    m_systemError = 0;
    return kOpened;
}

bool File::Close()
{
    bool written = true;
    if (m_handle) {
        if (m_inMemory && m_dirty)
            written = WriteMemoryImageBack();
        m_handle.Reset();
    }
    m_canRead = m_canWrite = m_inMemory = m_dirty = false;
    m_image.Reset();
    m_savedPositions.Clear();
    return written;
}

bool File::LoadMemoryImage()
{
    int32_t size = Size();
    if (size < 0)
        return false;
    if (!m_image.Contents().TrySetLength(size)) {
        m_systemError = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    if (!ReadAt(0, m_image.Contents().Buffer(), size)) {
        m_image.Reset();
        return false;
    }
    (void)m_image.Seek(0); // the start of a buffer of `size` bytes
    m_dirty = false;
    m_inMemory = true;
    return true;
}

bool File::WriteMemoryImageBack()
{
    m_inMemory = m_dirty = false;
    const String& contents = m_image.Contents();
    bool written = SeekHandle(0, FILE_BEGIN) && Write(contents.Text(), contents.Length()) &&
                   (SetEndOfFile(m_handle.Get()) || SystemFailure(GetLastError()));
    m_image.Reset();
    return written;
}

bool File::Read(void* destination, int32_t size)
{
    if (size == 0)
        return true;
    if (size < 0) {
        Refuse("");
        m_errorText.Format("Illegal block size %d", size);
        return false;
    }
    if (!destination)
        return Refuse("NULL block pointer");
    if (!m_canRead)
        return Refuse("Read access denied");
    if (m_inMemory) {
        if (m_image.Read(destination, size))
            return true;
        return Refuse("Read past end of file");
    }
    if (!m_handle)
        return Refuse("File not open");
    DWORD got = 0;
    if (!ReadFile(m_handle.Get(), destination, static_cast<DWORD>(size), &got, nullptr))
        return SystemFailure(GetLastError());
    if (got < static_cast<DWORD>(size)) {
        Refuse("Read past end of file");
        m_systemError = ERROR_HANDLE_EOF;
        return false;
    }
    return true;
}

bool File::Write(const void* source, int32_t size)
{
    if (size == 0)
        return true;
    if (size < 0)
        return Refuse("Illegal block size");
    if (!source)
        return Refuse("NULL block pointer");
    if (!m_canWrite)
        return Refuse("Write access denied");
    if (m_inMemory) {
        if (!m_image.Write(source, size)) {
            Refuse("Not all data could be written");
            m_systemError = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        m_dirty = true;
        return true;
    }
    if (!m_handle)
        return Refuse("File not open");
    const char* bytes = static_cast<const char*>(source);
    while (size > 0) {
        int32_t piece = size < kWritePiece ? size : kWritePiece;
        DWORD written = 0;
        if (!WriteFile(m_handle.Get(), bytes, static_cast<DWORD>(piece), &written, nullptr))
            return SystemFailure(GetLastError());
        if (written != static_cast<DWORD>(piece)) {
            // A short write to a disk file means the volume filled up.
            Refuse("Not all data could be written");
            m_systemError = ERROR_DISK_FULL;
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
    if (SetFilePointer(m_handle.Get(), offset, nullptr, method) != INVALID_SET_FILE_POINTER)
        return true;
    m_systemError = GetLastError();
    return false;
}

int32_t File::Position()
{
    if (!m_handle)
        return -1;
    if (m_inMemory)
        return m_image.Position();
    DWORD position = SetFilePointer(m_handle.Get(), 0, nullptr, FILE_CURRENT);
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
    if (!PopPosition())
        return -1;
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
    return SetEndOfFile(m_handle.Get()) || SystemFailure(GetLastError());
}

bool File::Flush()
{
    return m_handle && (FlushFileBuffers(m_handle.Get()) || SystemFailure(GetLastError()));
}

void File::PushPosition()
{
    m_savedPositions.Push(Position());
}

bool File::PopPosition()
{
    return m_savedPositions.IsEmpty() || Seek(m_savedPositions.Pop());
}

bool File::ReadAt(int32_t offset, void* destination, int32_t size)
{
    PushPosition();
    bool read = Seek(offset) && Read(destination, size);
    bool back = PopPosition();
    return read && back;
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
        if (!SeekFromEnd(0)) {
            (void)PopPosition();
            return false;
        }
    }
    bool written = Write(text.Text(), text.Length());
    bool back = !elsewhere || PopPosition();
    return written && back;
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

bool File::SetLastWriteTime(const FileStamp& stamp, bool flushFirst)
{
    FILETIME time;
    if (!m_handle || !stamp.ToFileTime(time))
        return false;
    // Written data still in the cache would move the time again when it reaches the
    // disk. A failed flush leaves that risk, not a wrong time now, so the time is set.
    if (flushFirst)
        (void)FlushFileBuffers(m_handle.Get());
    return SetFileTime(m_handle.Get(), nullptr, nullptr, &time) || SystemFailure(GetLastError());
}

// Files are made in many places; a call is shorter than the stores of every member.
__attribute__((noipa)) File::File() = default;
