#include "system/RegistryKey.h"
#include "core/Fatal.h"
#include "system/SystemError.h"
#include <cstring>

static String s_applicationTitle("This program");

void RegistryKey::SetApplicationTitle(const char* title)
{
    if (title)
        s_applicationTitle = title;
}

// The registry answers with error codes instead of setting the last error; callers
// (and the error box) look at the last error, so every failure is copied there.
static LONG Report(LONG status)
{
    if (status != ERROR_SUCCESS)
        SetLastError(static_cast<DWORD>(status));
    return status;
}

// kShowErrors: the system's text for the last error, when it has one, goes to the
// application's error display.
static void ShowRegistryError(uint32_t options)
{
    if (!(options & RegistryKey::kShowErrors))
        return;
    String text = LastErrorText();
    if (!text.IsEmpty())
        DisplaySystemError("Registry Error", text);
}

static const char* RootName(HKEY root)
{
    switch (reinterpret_cast<uintptr_t>(root)) {
    case 0x80000000u: return "HKEY_CLASSES_ROOT\\";
    case 0x80000001u: return "HKEY_CURRENT_USER\\";
    case 0x80000002u: return "HKEY_LOCAL_MACHINE\\";
    case 0x80000003u: return "HKEY_USERS\\";
    case 0x80000005u: return "HKEY_CURRENT_CONFIG\\";
    default: return nullptr;
    }
}

static HKEY ProductRoot(bool perUser)
{
    return perUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// "a\b\c" becomes "a\b" and "c"; a text without a backslash is all value name.
static void SplitAtLastBackslash(const char* text, String& head, String& tail)
{
    String whole(text);
    int32_t slash = whole.FindCharReverse('\\');
    head = slash < 0 ? String() : whole.Mid(0, slash);
    tail = whole.Mid(slash + 1);
}

int32_t RegistryKey::Open(HKEY parent, const char* subKey, uint32_t options)
{
    if (!parent || !subKey) {
        SetLastError(ERROR_INVALID_PARAMETER);
        ShowRegistryError(options);
        return kOpenFailed;
    }
    HKEY opened = nullptr;
    DWORD disposition = REG_OPENED_EXISTING_KEY;
    LONG status;
    if (options & kExistingOnly) {
        status = RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &opened);
    } else {
        status = RegCreateKeyExA(parent, subKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                 nullptr, &opened, &disposition);
    }
    RegistryHandle key(status == ERROR_SUCCESS ? opened : nullptr);
    if (Report(status) != ERROR_SUCCESS) {
        ShowRegistryError(options);
        return kOpenFailed;
    }

    String path;
    if (const char* rootName = RootName(parent)) {
        path = rootName;
    } else if (parent == m_key.Get()) {
        path = m_path;
        if (!path.IsEmpty() && path.Last() != '\\' && *subKey)
            path += '\\';
    }
    path += subKey;

    if (m_key) {
        m_outerKeys.Push(m_key.Release());
        m_outerPaths.Push(static_cast<String&&>(m_path));
    }
    m_key = static_cast<RegistryHandle&&>(key);
    m_path = static_cast<String&&>(path);
    return disposition == REG_CREATED_NEW_KEY ? kCreated : kOpenedExisting;
}

int32_t RegistryKey::OpenBelow(const char* subKey, uint32_t options)
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return kOpenFailed;
    }
    return Open(m_key.Get(), subKey, options);
}

int32_t RegistryKey::OpenProductKey(const char* subKey, bool perUser, uint32_t options)
{
    if (!subKey)
        return Open(ProductRoot(perUser), nullptr, options);
    String path("Software\\");
    path += subKey;
    return Open(ProductRoot(perUser), path.Text(), options);
}

void RegistryKey::Close()
{
    if (!m_key)
        return;
    m_key.Reset();
    m_path.Clear();
    // The outer keys were pushed only while a key was current, so both stacks are
    // either empty together or hold the key to return to.
    if (!m_outerKeys.IsEmpty()) {
        m_key.Reset(static_cast<HKEY>(m_outerKeys.Pop()));
        m_path = m_outerPaths.Pop();
    }
}

void RegistryKey::CloseAll()
{
    while (m_key)
        Close();
}

bool RegistryKey::KeyExists(const char* subKey, bool perUser)
{
    if (IsBlank(subKey))
        return false;
    String path("Software\\");
    path += subKey;
    HKEY opened = nullptr;
    if (Report(RegOpenKeyExA(ProductRoot(perUser), path.Text(), 0, KEY_ALL_ACCESS, &opened)) != ERROR_SUCCESS)
        return false;
    RegistryHandle key(opened);
    return true;
}

bool RegistryKey::ValueExists(const char* name) const
{
    if (!m_key)
        return false;
    return Report(RegQueryValueExA(m_key.Get(), name, nullptr, nullptr, nullptr, nullptr)) == ERROR_SUCCESS;
}

bool RegistryKey::Counts(uint32_t& subKeys, uint32_t& values) const
{
    subKeys = values = 0;
    if (!m_key)
        return false;
    DWORD keys = 0;
    DWORD named = 0;
    if (Report(RegQueryInfoKeyA(m_key.Get(), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &named, nullptr,
                                nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
        return false;
    subKeys = keys;
    values = named;
    return true;
}

int32_t RegistryKey::SubKeyCount() const
{
    uint32_t subKeys, values;
    return Counts(subKeys, values) ? static_cast<int32_t>(subKeys) : -1;
}

int32_t RegistryKey::ValueCount() const
{
    uint32_t subKeys, values;
    return Counts(subKeys, values) ? static_cast<int32_t>(values) : -1;
}

bool RegistryKey::IsEmpty() const
{
    uint32_t subKeys, values;
    return !Counts(subKeys, values) || (subKeys == 0 && values == 0);
}

int32_t RegistryKey::SubKeyNames(Vector<String>& names) const
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    constexpr DWORD kNameSize = 199;
    char name[kNameSize + 1];
    int32_t count = 0;
    for (DWORD index = 0;; ++index) {
        LONG status = RegEnumKeyA(m_key.Get(), index, name, kNameSize);
        if (status != ERROR_SUCCESS) {
            SetLastError(status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : static_cast<DWORD>(status));
            return count;
        }
        name[kNameSize] = 0;
        names.Append(String(name));
        ++count;
    }
}

// A text read from the registry ends in the terminator that Windows keeps with it
// (when the writer stored one); the text itself ends before it. Byte strings keep
// every byte.
static int32_t DataLength(DWORD type, const char* data, DWORD size)
{
    bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (text && size > 0 && data[size - 1] == 0)
        return static_cast<int32_t>(size - 1);
    return static_cast<int32_t>(size);
}

bool RegistryKey::Read(const char* name, Value& value, uint32_t options) const
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    char buffer[32];
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    LONG status = Report(RegQueryValueExA(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
    if (status == ERROR_SUCCESS) {
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_BINARY:
        case REG_MULTI_SZ:
            value.SetText(buffer, DataLength(type, buffer, size));
            return true;
        case REG_DWORD: {
            if (size != 4)
                return false;
            uint32_t number;
            memcpy(&number, buffer, sizeof number);
            value.SetDword(number);
            return true;
        }
        default:
            return false;
        }
    }
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_BADKEY) {
        if (options & kRequired)
            RequiredValueMissing(name);
        return false;
    }
    if (status != ERROR_MORE_DATA)
        return false;

    // Too long for the first buffer: read it again into one of the reported size.
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_BINARY && type != REG_MULTI_SZ)
        return false;
    if (size > static_cast<DWORD>(String::kToEnd - 1)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    String data;
    if (!data.TrySetLength(static_cast<int32_t>(size))) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    DWORD secondSize = size;
    if (Report(RegQueryValueExA(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.Buffer()),
                                &secondSize)) != ERROR_SUCCESS)
        return false;
    if (secondSize > size)
        secondSize = size;
    data.SetLength(DataLength(type, data.Text(), secondSize));
    value.SetText(data);
    return true;
}

String RegistryKey::ReadText(const char* name, const char* defaultText) const
{
    Value value;
    if (!Read(name, value))
        return String(defaultText);
    return value.ToText();
}

int32_t RegistryKey::ReadNumber(const char* name, int32_t defaultNumber) const
{
    Value value;
    return Read(name, value) ? value.ToInt32() : defaultNumber;
}

bool RegistryKey::ReadFlag(const char* name, bool defaultFlag) const
{
    Value value;
    return Read(name, value) ? value.ToBool() : defaultFlag;
}

String RegistryKey::ReadAt(HKEY root, const char* keyAndValue, const char* defaultText, uint32_t options)
{
    if (!keyAndValue)
        return String(defaultText);
    String keyPath;
    String name;
    SplitAtLastBackslash(keyAndValue, keyPath, name);
    RegistryKey key;
    if (!key.Open(root, keyPath.Text(), options & (kExistingOnly | kShowErrors)))
        return String(defaultText);
    Value value;
    if (!key.Read(name.Text(), value))
        return String(defaultText);
    return value.ToText();
}

bool RegistryKey::WriteData(const char* name, DWORD type, const void* data, DWORD size)
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return Report(RegSetValueExA(m_key.Get(), name, 0, type, static_cast<const BYTE*>(data), size)) == ERROR_SUCCESS;
}

bool RegistryKey::WriteTextData(const char* name, const String& text, uint32_t options)
{
    // Binary data is exactly the text's bytes. Text types carry their terminator, as
    // Windows asks: without it the NT family stores the text unterminated, and readers
    // (this class included) would take the last character for the terminator.
    if (options & kBinary)
        return WriteData(name, REG_BINARY, text.Text(), static_cast<DWORD>(text.Length()));
    DWORD type = options & kExpandText ? REG_EXPAND_SZ : REG_SZ;
    return WriteData(name, type, text.Text(), static_cast<DWORD>(text.Length()) + 1);
}

bool RegistryKey::Write(const char* name, const Value& value, uint32_t options)
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (value.Type() == Value::kEmpty || ((options & kDeleteIfEmpty) && value.IsEmptyOrZero())) {
        // An empty value is no value: one that is already missing is as wanted.
        return DeleteValue(name) == kDeleted || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    if (value.Storage() == Value::kStoreInteger) {
        DWORD number = value.ToUInt32();
        return WriteData(name, REG_DWORD, &number, sizeof number);
    }
    return WriteTextData(name, value.ToText(), options);
}

bool RegistryKey::WriteNumber(const char* name, uint32_t number, uint32_t options)
{
    if ((options & kDeleteIfEmpty) && number == 0)
        return DeleteValue(name) == kDeleted;
    DWORD data = number;
    return WriteData(name, REG_DWORD, &data, sizeof data);
}

bool RegistryKey::WriteText(const char* name, const String& text, uint32_t options)
{
    if ((options & kDeleteIfEmpty) && text.IsEmpty())
        return DeleteValue(name) == kDeleted;
    return WriteTextData(name, text, options);
}

int32_t RegistryKey::DeleteValue(const char* name)
{
    if (!m_key) {
        SetLastError(ERROR_INVALID_HANDLE);
        return kNoKey;
    }
    return Report(RegDeleteValueA(m_key.Get(), name)) == ERROR_SUCCESS ? kDeleted : kFailed;
}

int32_t RegistryKey::DeleteKey(const char* subKey, uint32_t options)
{
    // An empty name would make RegDeleteKeyA delete the current key itself.
    if (!m_key || !subKey || !*subKey) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kNoKey;
    }
    if (options & kOnlyIfEmpty) {
        if (OpenBelow(subKey, kExistingOnly)) {
            bool empty = IsEmpty();
            Close();
            if (!empty)
                return kNotEmpty;
        }
    }
    // The NT family refuses to delete a key that has sub-keys, so the tree goes first,
    // deepest keys first.
    if (OpenBelow(subKey, kExistingOnly | (options & kShowErrors))) {
        Vector<String> names;
        SubKeyNames(names);
        // A sub-key that stays makes the deletion below fail, which reports it.
        for (int32_t i = 0; i < names.Count(); ++i)
            (void)DeleteKey(names.At(i).Text(), options);
        Close();
    }
    if (Report(RegDeleteKeyA(m_key.Get(), subKey)) != ERROR_SUCCESS) {
        ShowRegistryError(options);
        return kFailed;
    }
    return kDeleted;
}

int32_t RegistryKey::DeleteProductKey(const char* subKey, bool perUser, uint32_t options)
{
    String path("Software\\");
    path += subKey;
    String parent;
    String name;
    SplitAtLastBackslash(path.Text(), parent, name);
    return DeleteKeyAt(ProductRoot(perUser), parent.Text(), name.Text(), options);
}

int32_t RegistryKey::DeleteKeyAt(HKEY root, const char* path, const char* subKey, uint32_t options)
{
    RegistryKey key;
    if (!key.Open(root, path ? path : "", kExistingOnly | (options & kShowErrors)))
        return kNoKey;
    return key.DeleteKey(subKey, options);
}

void RegistryKey::RequiredValueMissing(const char* name) const
{
    FatalMessage("The following registry key is required by %s, but is invalid or does not exist:\n\n%s%s\n\n"
                 "If you have tried moving this program to a different computer by copying files, this will not "
                 "work.  This program must be reinstalled.",
                 s_applicationTitle.Text(), m_path.Text(), name ? name : "");
}

// A call is shorter than the stores of every member in each place that makes one.
__attribute__((noipa)) RegistryKey::RegistryKey() = default;
