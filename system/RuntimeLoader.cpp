#include "system/RuntimeLoader.h"
#include "core/Vector.h"
#include <windows.h>

static Vector<void*> s_loadedLibraries;

bool LoadRuntimeFunction(const char* library, const char* name, void*& address)
{
    address = nullptr;
    if (!library || !name)
        return false;
    HMODULE module = LoadLibraryA(library);
    if (!module)
        return false;
    address = reinterpret_cast<void*>(GetProcAddress(module, name));
    if (!address) {
        FreeLibrary(module);
        return false;
    }
    s_loadedLibraries.Append(module);
    return true;
}

bool LoadRuntimeTable(const char* library, const RuntimeFunction* table)
{
    if (!library || !table)
        return false;
    HMODULE module = LoadLibraryA(library);
    bool complete = true;
    for (const RuntimeFunction* entry = table; entry->name; ++entry) {
        void* address = module ? reinterpret_cast<void*>(GetProcAddress(module, entry->name)) : nullptr;
        if (entry->address)
            *entry->address = address;
        if (!address && !entry->optional)
            complete = false;
    }
    if (module)
        s_loadedLibraries.Append(module);
    return complete;
}

void FreeLoadedLibraries()
{
    for (int32_t i = s_loadedLibraries.Count() - 1; i >= 0; --i)
        FreeLibrary(static_cast<HMODULE>(s_loadedLibraries[i]));
    s_loadedLibraries.Clear();
}
