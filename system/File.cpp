#include "system/File.h"
#include "core/Fatal.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <windows.h>

static constexpr int32_t kWritePiece = 0x100000;   // at most this much per WriteFile

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
