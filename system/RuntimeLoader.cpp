#include "system/RuntimeLoader.h"
#include "core/Vector.h"
#include "system/OwnedHandle.h"

// The libraries that provided a function, released by FreeLoadedLibraries. They are
// kept as plain handles (the vector of pointers is one the program has anyway) and go
// back into an owner to be freed.
static Vector<void*> s_loadedLibraries;

static void KeepLoaded(LoadedModule& module)
{
    s_loadedLibraries.Append(module.Release());
}

bool LoadRuntimeFunction(const char* library, const char* name, void*& address)
{
    address = nullptr;
    if (!library || !name)
        return false;
    LoadedModule module(LoadLibraryA(library));
    if (!module)
        return false;
    address = reinterpret_cast<void*>(GetProcAddress(module.Get(), name));
    if (!address)
        return false;
    KeepLoaded(module);
    return true;
}

bool LoadRuntimeTable(const char* library, const RuntimeFunction* table)
{
    if (!library || !table)
        return false;
    LoadedModule module(LoadLibraryA(library));
    bool complete = true;
    for (const RuntimeFunction* entry = table; entry->name; ++entry) {
        void* address = module ? reinterpret_cast<void*>(GetProcAddress(module.Get(), entry->name)) : nullptr;
        if (entry->address)
            *entry->address = address;
        if (!address && !entry->optional)
            complete = false;
    }
    if (module)
        KeepLoaded(module);
    return complete;
}

void FreeLoadedLibraries()
{
    for (int32_t i = s_loadedLibraries.Count() - 1; i >= 0; --i)
        LoadedModule(static_cast<HMODULE>(s_loadedLibraries[i])).Reset();
    s_loadedLibraries.Clear();
}
