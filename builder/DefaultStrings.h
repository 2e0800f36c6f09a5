#pragma once
#include <string>

// The English string table that every package starts from. A manifest states only the
// texts it changes; every message the installer and the uninstaller show has a sound
// English text here. "<product>" and "<os>" are replaced by the installer (product name,
// Windows directory) when it fetches a text.

// One past the highest number the installer uses; a package's table has at least this
// many rows.
constexpr int kDefaultStringRows = 72;

// The English text of `number`, or null when the installer uses no such number.
const char* DefaultEnglishString(int number);

// The printf conversions the installer formats `number` with, in order: 's' text,
// 'd' number, 'c' one character (a drive letter). Null when the text is shown as it is.
const char* MessageArguments(int number);

// Checks a text for `number` against the arguments the installer passes with it: only
// %s, %d, %c and %% are allowed, and the conversions must be the expected ones in order
// (fewer is fine). Answers an empty string, or what is wrong.
std::string CheckMessageConversions(int number, const std::string& text);
