#pragma once

// Registering and unregistering the COM type libraries of installed files, through the
// OLE automation library, which is loaded on the first request and kept to the end of
// the run. Both answer true or false; after false the thread's last error says why (a
// COM failure is carried as its HRESULT, a function missing from oleaut32.dll as
// ERROR_PROC_NOT_FOUND). Paths are full paths of at most 259 characters: a relative one
// would be registered while being loaded.

// Loads the type library from the file and registers it (no help directory).
[[nodiscard]] bool RegisterTypeLibrary(const char* path);

// Loads the type library from the file and removes the registration of its identity
// (library identifier, version, locale and system kind).
[[nodiscard]] bool UnregisterTypeLibrary(const char* path);
