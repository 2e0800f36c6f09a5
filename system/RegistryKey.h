#pragma once
#include "core/Stack.h"
#include "core/String.h"
#include "core/Value.h"
#include "core/Vector.h"
#include "system/OwnedHandle.h"
#include <cstdint>
#include <windows.h>

// All registry work of the program goes through this class. One object keeps a current
// open key and a stack of the keys it was opened from: opening pushes, closing pops, so
// nested work (reading in a sub-key, deleting a tree) goes down and comes back to the
// outer key without a second object. Each key's full path is kept as text for the
// messages that name it.
//
// Values travel through Value: a registry number becomes an integer Value, a text or
// byte string a text Value. Failures return false, 0 or the small result codes below and
// leave the Windows error code as the thread's last error; only kRequired stops the
// program, and only kShowErrors has the failure shown, by the application's error
// display (system/SystemError.h): this class reports, it shows no window itself.
class RegistryKey {
public:
    // Option bits shared by the operations (one word).
    static constexpr uint32_t kRequired = 0x02;      // a missing or unusable value is fatal when read
    static constexpr uint32_t kDeleteIfEmpty = 0x08; // writing empty text or zero deletes the value
    static constexpr uint32_t kShowErrors = 0x10;    // a failed open, create or delete is shown (its system error)
    static constexpr uint32_t kOnlyIfEmpty = 0x20;   // delete a key only when it has no sub-keys and no values
    static constexpr uint32_t kExistingOnly = 0x40;  // open an existing key, never create one
    static constexpr uint32_t kBinary = 0x80;        // write text as REG_BINARY
    static constexpr uint32_t kExpandText = 0x100;   // write text as REG_EXPAND_SZ (unless kBinary)

    // Results of Open.
    static constexpr int32_t kOpenFailed = 0;
    static constexpr int32_t kOpenedExisting = 1;
    static constexpr int32_t kCreated = 2;

    // Results of the deletions.
    static constexpr int32_t kDeleted = 1;
    static constexpr int32_t kNoKey = 2;   // no current key, no name, or the parent would not open
    static constexpr int32_t kFailed = 3;  // Windows refused
    static constexpr int32_t kNotEmpty = 4; // kept because kOnlyIfEmpty found it in use

    RegistryKey();
    ~RegistryKey() { CloseAll(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The program's title for the required-value message (copied). The application sets
    // it at start-up; the registry code does not reach into the installer's state for it.
    static void SetApplicationTitle(const char* title);

    // Opening and closing. Open answers kOpenFailed, kOpenedExisting or kCreated; on
    // failure the current key and both stacks stay as they were.
    [[nodiscard]] int32_t Open(HKEY parent, const char* subKey, uint32_t options = 0);
    [[nodiscard]] int32_t OpenBelow(const char* subKey, uint32_t options = 0);
    // "Software\<subKey>" under HKEY_CURRENT_USER when perUser is set, else HKEY_LOCAL_MACHINE.
    [[nodiscard]] int32_t OpenProductKey(const char* subKey, bool perUser, uint32_t options = 0);
    void Close();
    void CloseAll();

    HKEY Handle() const { return m_key.Get(); }
    bool IsOpen() const { return m_key.IsValid(); }
    const String& Path() const { return m_path; }

    // Questions.
    [[nodiscard]] static bool KeyExists(const char* subKey, bool perUser);
    [[nodiscard]] bool ValueExists(const char* name) const;
    [[nodiscard]] int32_t SubKeyCount() const;
    [[nodiscard]] bool HasSubKeys() const { return SubKeyCount() > 0; }
    // The number of values, the default value included when it is set; -1 as above.
    [[nodiscard]] int32_t ValueCount() const;
    [[nodiscard]] bool IsEmpty() const;
    // Appends the names of the current key's sub-keys; the last error is then 0 when
    // the list is complete and the failing code otherwise. Answers how many were added.
    int32_t SubKeyNames(Vector<String>& names) const;

    // Reading. A null name means the key's default value, as it does to Windows.
    [[nodiscard]] bool Read(const char* name, Value& value, uint32_t options = 0) const;
    String ReadText(const char* name, const char* defaultText = "") const;
    int32_t ReadNumber(const char* name, int32_t defaultNumber = 0) const;
    bool ReadFlag(const char* name, bool defaultFlag = false) const;
    // Reads "key path\value name" under a root as text; kExistingOnly leaves a missing
    // key uncreated. The default when anything fails.
    static String ReadAt(HKEY root, const char* keyAndValue, const char* defaultText = "", uint32_t options = 0);

    // Writing.
    [[nodiscard]] bool Write(const char* name, const Value& value, uint32_t options = 0);
    [[nodiscard]] bool WriteNumber(const char* name, uint32_t number, uint32_t options = 0);
    [[nodiscard]] bool WriteText(const char* name, const String& text, uint32_t options = 0);
    [[nodiscard]] bool WriteText(const char* name, const char* text, uint32_t options = 0)
    {
        return WriteText(name, String(text), options);
    }
    // kDeleted, kNoKey, or kFailed.
    [[nodiscard]] int32_t DeleteValue(const char* name);

    // Deleting keys, with all their sub-keys. Results kDeleted, kNoKey, kFailed, kNotEmpty.
    [[nodiscard]] int32_t DeleteKey(const char* subKey, uint32_t options = 0);
    [[nodiscard]] static int32_t DeleteProductKey(const char* subKey, bool perUser, uint32_t options = 0);
    [[nodiscard]] static int32_t DeleteKeyAt(HKEY root, const char* path, const char* subKey, uint32_t options = 0);

private:
    // Both counts of the current key; false (and 0, 0) without a key or when Windows fails.
    bool Counts(uint32_t& subKeys, uint32_t& values) const;
    bool WriteData(const char* name, DWORD type, const void* data, DWORD size);
    bool WriteTextData(const char* name, const String& text, uint32_t options);
    [[noreturn]] void RequiredValueMissing(const char* name) const;

    RegistryHandle m_key;
    String m_path;
    // The keys this one was opened from, innermost on top. They wait as plain handles -
    // a stack of pointers, which the program has anyway, where a stack of owners would
    // add its own code to the stub - and each goes back into m_key when it is current
    // again, so every key is closed by its owner and nowhere else.
    Stack<void*> m_outerKeys;
    Stack<String> m_outerPaths;
};
