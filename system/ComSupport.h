#pragma once
#include <windows.h>
#include <objbase.h>

// What the shell-link and type-library code shares: an owner for COM interface pointers,
// the carrying of an HRESULT into the thread's last error (so that callers show the
// system error text as for any other failure), and the wide form of a path that COM
// interfaces take.

// Owns one reference to a COM interface and releases it when it goes out of scope.
template<typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() { Reset(); }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // The place a creating call fills; whatever was held is released first.
    void** Out()
    {
        Reset();
        return reinterpret_cast<void**>(&m_pointer);
    }
    Interface** OutTyped()
    {
        Reset();
        return &m_pointer;
    }

    void Reset()
    {
        if (m_pointer)
            m_pointer->Release();
        m_pointer = nullptr;
    }

private:
    Interface* m_pointer = nullptr;
};

// True for S_OK. Otherwise the thread's last error becomes the failure: the Win32 code
// inside a FACILITY_WIN32 result, else the HRESULT itself, whose text Windows also knows.
bool SucceededOrSetLastError(HRESULT result);

// The longest path, terminator included, that the wide conversions take.
constexpr int kWidePathSize = MAX_PATH;

// The ANSI path in UTF-16 (the system's ANSI code page), zero-filled. False, with
// ERROR_FILENAME_EXCED_RANGE, for a path that does not fit in 259 characters, and with
// ERROR_INVALID_PARAMETER for an empty one.
bool ToWidePath(const char* path, WCHAR (&wide)[kWidePathSize]);
