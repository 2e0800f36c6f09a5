#pragma once
#include "core/String.h"
#include <cstdint>
#include <windows.h>

class AutomaticQuestions;

// Where the uninstalled product was, as its record said: what the self-removal script
// removes once this program has ended.
struct ProductPlace {
    String installDir;
    String uninstallDir; // the uninstaller's own subdirectory; empty when it has none
};

// Removes the product installed under `name` (its key under the Windows Uninstall key),
// asking and telling through `questions`, which answer for automatic mode (/a; the
// product's AutomaticUninstall switches it on as well). True only when everything was
// removed: the product's records are then gone too, and `place` says what the caller
// leaves to RemoveSelf. Otherwise the records stay, listing what is left, for a later run.
bool Uninstall(const String& name, AutomaticQuestions& questions, ProductPlace& place);

// Writes c:\delunins.bat, which waits for this program to end, deletes it and removes the
// uninstaller's directory and the install directory when they are empty, then deletes
// itself; starts it minimised in a console of its own without waiting. False when the
// script could not be written or started.
bool RemoveSelf(const ProductPlace& place);

// Deletes the key "Software\<key>" under `root` with everything in it, then each parent
// that is left empty, up to but not including "Software" (at most 20 keys in all). True
// when the key itself was deleted.
bool DeleteKeyAndEmptyParents(HKEY root, const String& key);
