#pragma once
#include <windows.h>

// The one owner of a Win32 handle: it closes the handle when it goes out of scope, when
// it is reset, and never twice. Each kind of handle names its empty value and how it is
// closed in a small traits type, so the closing happens in one place per kind and logic
// code never calls CloseHandle, FindClose, RegCloseKey or DeleteObject itself.
template<typename Traits>
class OwnedHandle {
public:
    using Type = typename Traits::Type;

    OwnedHandle() = default;
    explicit OwnedHandle(Type handle)
        : m_handle(handle)
    {
    }
    ~OwnedHandle() { Reset(); }

    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other)
        : m_handle(other.Release())
    {
    }
    OwnedHandle& operator=(OwnedHandle&& other)
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Type Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::Empty(); }
    explicit operator bool() const { return IsValid(); }

    // Closes the current handle (if any) and takes over `handle`.
    void Reset(Type handle = Traits::Empty())
    {
        if (IsValid())
            Traits::Close(m_handle);
        m_handle = handle;
    }

    // Gives the handle up without closing it.
    Type Release()
    {
        Type handle = m_handle;
        m_handle = Traits::Empty();
        return handle;
    }

private:
    Type m_handle = Traits::Empty();
};

// Files, processes, threads, events: CreateFileA answers INVALID_HANDLE_VALUE on failure,
// the others null; both count as empty, so the owner is made from either.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};
class KernelHandle : public OwnedHandle<KernelHandleTraits> {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle)
        : OwnedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle)
    {
    }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};
using FindHandle = OwnedHandle<FindHandleTraits>;

struct RegistryHandleTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static void Close(Type handle) { RegCloseKey(handle); }
};
using RegistryHandle = OwnedHandle<RegistryHandleTraits>;

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static void Close(Type handle) { DeleteObject(handle); }
};
using GdiObject = OwnedHandle<GdiObjectTraits>;

struct ModuleHandleTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static void Close(Type handle) { FreeLibrary(handle); }
};
using LoadedModule = OwnedHandle<ModuleHandleTraits>;
