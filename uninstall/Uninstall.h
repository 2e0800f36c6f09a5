#pragma once
#include "core/String.h"

// Removes the product installed under `uninstallName`. Answers true when the removal
// was complete, so that the program may then remove itself.
bool UninstallProduct(const String& uninstallName);
