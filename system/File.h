#pragma once
#include "core/ByteSink.h"
#include "core/ByteSource.h"
#include "core/MemoryWriter.h"
#include "core/Stack.h"
#include "core/String.h"
#include "system/FileStamp.h"
#include "system/OwnedHandle.h"
#include <cstdint>

// Every file the program reads or writes goes through File: a Win32 file handle that
// turns the many ways an open can fail into one small result code with a fixed text,
// reads and writes blocks with named failures, and can hold the whole file in memory
// while it is edited and write it back on close.
//
// Positions and sizes are signed 32-bit (-1: not open). Failures of open, read and
// write leave their text in ErrorText() and the Windows error code in SystemError() for
// the caller to show or log (the open codes below fold many Windows errors, disk full
// among them, into kUnknownError; the system code keeps them apart); nothing but an open
// with kRequired ends the program.
class File final : public ByteSource, public ByteSink {
public:
    // Open flags. The low two bits choose the creation disposition.
    static constexpr uint32_t kOpenAlways = 0x0;   // open or create
    static constexpr uint32_t kOpenExisting = 0x1; // fail when missing
    static constexpr uint32_t kCreateNew = 0x2;    // fail when it exists
    static constexpr uint32_t kCreateAlways = 0x3; // create or truncate
    static constexpr uint32_t kCreationMask = 0x3;
    static constexpr uint32_t kNoRead = 0x08;
    static constexpr uint32_t kNoWrite = 0x10;
    static constexpr uint32_t kRequired = 0x20;   // a failed open is fatal
    static constexpr uint32_t kRetryOnce = 0x40;  // after any first failure, wait 150 ms and try again
    static constexpr uint32_t kInMemory = 0x80;   // load the whole file into the memory image
    static constexpr uint32_t kShareRead = 0x100;
    static constexpr uint32_t kShareWrite = 0x200;
    static constexpr uint32_t kAppend = 0x400;    // position at the end
    static constexpr uint32_t kTestOnly = 0x800;  // close again at once after a successful open
    static constexpr uint32_t kNoSharingRetry = 0x1000;

    // Name modes, the top three bits: which name is opened.
    static constexpr uint32_t kNameAsGiven = 0x00000000;
    static constexpr uint32_t kNewTemporary = 0x20000000;            // in the temporary directory; name may be ""
    static constexpr uint32_t kNewTemporaryInDirectory = 0x40000000; // in the directory given as the name
    static constexpr uint32_t kNewTemporaryBeside = 0x80000000;      // in the directory part of the name
    static constexpr uint32_t kInTemporaryDirectory = 0xC0000000;    // the name joined onto the temporary directory
    static constexpr uint32_t kNameModeMask = 0xE0000000;

    // The usual combinations.
    static constexpr uint32_t kReadShared = kOpenExisting | kNoWrite | kShareRead;  // 273
    static constexpr uint32_t kRewrite = kCreateAlways;                             // 3
    static constexpr uint32_t kProbe = kOpenExisting | kNoRead | kNoWrite | kShareRead | kShareWrite | kTestOnly; // 2841

    static constexpr uint32_t kNormalAttributes = 128; // FILE_ATTRIBUTE_NORMAL

    // Result codes of Open; ResultText gives their texts.
    static constexpr int kOpened = 0;
    static constexpr int kUnknownError = 1;
    static constexpr int kInvalidName = 2;
    static constexpr int kNotFound = 3;
    static constexpr int kNoDirectory = 4;
    static constexpr int kLocked = 5;
    static constexpr int kMemoryLoadFailed = 6;
    static constexpr int kTooManyOpen = 7;
    static constexpr int kInvalidParameter = 8;
    static constexpr int kAlreadyExists = 9;
    static constexpr int kTooManyIndexed = 10; // never produced by Open
    static constexpr int kAccessDenied = 11;
    static constexpr int kReadOnly = 12;

    // Temporary files are made by Windows with this prefix.
    static constexpr const char* kTemporaryPrefix = "KZQ";

    File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    // A failed write-back of the memory image can only be reported by an explicit Close.
    ~File() override { (void)Close(); }

    // Closes first if open. `attributes` goes to CreateFileA as its flags and attributes.
    [[nodiscard]] int Open(const char* name, uint32_t flags, uint32_t attributes = kNormalAttributes);
    // Writes a dirty memory image back and closes the handle; false only when that write
    // failed. Closing a closed file does nothing.
    [[nodiscard]] bool Close();

    bool IsOpen() const { return m_handle.IsValid(); }
    const String& Name() const { return m_name; }
    const String& ErrorText() const { return m_errorText; }
    // The Windows error code of the last failure; 0 when the program itself refused the
    // request (a bad size, no access asked for) or nothing failed.
    uint32_t SystemError() const { return m_systemError; }
    static const char* ResultText(int code);

    // Blocks: true when every byte was read or written; the reason is in ErrorText().
    [[nodiscard]] bool Read(void* destination, int32_t size) override;
    [[nodiscard]] bool Write(const void* source, int32_t size) override;

    int32_t Position();
    [[nodiscard]] bool Seek(int32_t offset);
    [[nodiscard]] bool SeekFromEnd(int32_t offset);
    int32_t Size();
    bool NotAtEnd();  // 0 <= position < size
    bool AtEnd();     // position == size
    [[nodiscard]] bool TruncateHere();
    [[nodiscard]] bool Flush();

    // Reads elsewhere and comes back to the current position.
    [[nodiscard]] bool ReadAt(int32_t offset, void* destination, int32_t size);
    // The last n bytes (false for n <= 0 or a shorter file).
    [[nodiscard]] bool ReadTail(void* destination, int32_t n);
    [[nodiscard]] bool ReadLastByte(uint8_t& value) { return ReadTail(&value, 1); }
    // Bytes up to a zero byte or the end.
    String ReadText();
    // The text's bytes at the end of the file, the position kept.
    [[nodiscard]] bool WriteTextAtEnd(const String& text);
    // Adds "\r\n" to a non-empty file whose last byte is neither CR nor LF.
    [[nodiscard]] bool EndLine();

    // Sets the time of last change. Data this handle wrote is flushed first, or its late
    // arrival on the disk could move the time again; a handle that wrote nothing may
    // skip that (`flushFirst` false), which spares a disk flush per file.
    [[nodiscard]] bool SetLastWriteTime(const FileStamp& stamp, bool flushFirst = true);

    // Saved positions for operations that work elsewhere in the file; popping with
    // nothing saved stays where it is. False when the file cannot go back there.
    void PushPosition();
    [[nodiscard]] bool PopPosition();

private:
    int OpenFailed(int code, uint32_t error, uint32_t flags);
    int ResultOfError(uint32_t error, bool wantWrite) const;
    bool WorkOutName(const char* name, uint32_t mode, uint32_t& error);
    bool LoadMemoryImage();
    bool WriteMemoryImageBack();
    bool SeekHandle(int32_t offset, uint32_t method);
    // Records a failure: the program's own text, or the system's for `error`.
    bool Refuse(const char* text);
    bool SystemFailure(uint32_t error);

    KernelHandle m_handle;
    uint32_t m_systemError = 0;
    String m_name;
    bool m_canRead = false;
    bool m_canWrite = false;
    bool m_inMemory = false;
    bool m_dirty = false;
    MemoryWriter m_image;
    String m_errorText;
    Stack<int32_t> m_savedPositions;
};
