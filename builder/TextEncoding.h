#pragma once
#include <optional>
#include <string>

// The installer works in the Windows ANSI code page; manifests and text files are UTF-8.
// Every text that goes into a package is converted to the package's code page here.

// True when the code page can be converted to (iconv knows "CP<n>").
bool IsSupportedCodePage(int codePage);

// The text in `codePage`, or nothing; `problem` then says why (invalid UTF-8, or the
// first character the code page cannot hold).
std::optional<std::string> ToCodePage(const std::string& utf8, int codePage, std::string& problem);
