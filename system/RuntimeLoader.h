#pragma once

// Optional system functions, looked up at run time so that the program still starts on
// Windows versions that lack them. Every library that provided a function stays loaded
// until FreeLoadedLibraries, which the program's exit routine calls.

// One entry of a table of functions from one library; a table ends with an entry whose
// name is null.
struct RuntimeFunction {
    const char* name;
    void** address; // receives the address, or null when the function is missing
    bool optional;  // a missing optional function does not fail the table
};

// Loads `library` and looks up `name`. When found, the library stays loaded and the
// answer is true; otherwise the library is freed and `address` is null.
[[nodiscard]] bool LoadRuntimeFunction(const char* library, const char* name, void*& address);

// Fills every entry's address (null when missing) and keeps the library loaded; true
// when every function that is not optional was found.
[[nodiscard]] bool LoadRuntimeTable(const char* library, const RuntimeFunction* table);

// Releases every library the two loaders kept.
void FreeLoadedLibraries();
