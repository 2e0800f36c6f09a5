#pragma once
#include "builder/PackageReader.h"
#include <string>

// The text `quox inspect` prints: the header, every decoded setting and the file list.
// With `strings` false the string table is summarised instead of listed.
std::string DescribePackage(const Package& package, bool strings);
