#pragma once
#include "core/String.h"

class AutomaticQuestions;

// Removes the product installed under `uninstallName`, asking and telling through
// `questions`, which answer for automatic mode (/a; the uninstaller settles the mode
// again from the product's flags once it has read them). Answers true when the removal
// was complete, so that the program may then remove itself.
bool UninstallProduct(const String& uninstallName, AutomaticQuestions& questions);
