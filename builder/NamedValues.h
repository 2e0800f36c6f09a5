#pragma once
#include "payload/FileDeletion.h"
#include "payload/FileEntry.h"
#include "payload/ProductFlags.h"
#include <cstdint>
#include <string>
#include <vector>

// Every enumerated value a manifest may name, in one place: product flags, file
// destinations, file flags, attributes, deletion conditions, title positions, Windows
// versions and uninstall value types. A manifest states names, never numbers, so that a
// typo is an error instead of a silently different package.

struct NamedValue {
    const char* name;
    uint64_t value;
};

// A product flag's name and its bit (payload/ProductFlags.h). `setBy` names what sets
// the bit instead of the flag list when the manifest may not name it directly; null when
// it may.
struct ProductFlagName {
    const char* name;
    uint64_t bit;
    const char* setBy;
};

const std::vector<ProductFlagName>& ProductFlagNames();
const ProductFlagName* FindProductFlag(const std::string& name);

// File data destinations (where an entry is installed).
const std::vector<NamedValue>& DestinationNames();
// The bits of a file entry's flags word that a manifest names (the install condition is
// a separate setting).
const std::vector<NamedValue>& FileFlagNames();
const std::vector<NamedValue>& InstallConditionNames();
const std::vector<NamedValue>& AttributeNames();
const std::vector<NamedValue>& DeletionConditionNames();
const std::vector<NamedValue>& TitlePositionNames();
const std::vector<NamedValue>& WindowsVersionNames();
const std::vector<NamedValue>& UninstallValueTypeNames();
const std::vector<NamedValue>& CompressionNames();
const std::vector<NamedValue>& DataPlacementNames();

const NamedValue* FindNamedValue(const std::vector<NamedValue>& table, const std::string& name);
// The name of `value` in `table`, or null.
const char* NameOfValue(const std::vector<NamedValue>& table, uint64_t value);
// "a, b, c" for error messages.
std::string JoinNames(const std::vector<NamedValue>& table);
// The names of the bits set in `value`, each once, then any unnamed bits in hex.
std::string NamesOfBits(const std::vector<NamedValue>& table, uint64_t value);
std::string NamesOfProductFlags(uint64_t flags);
