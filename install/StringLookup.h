#pragma once
#include "core/String.h"

// Every user-visible text of an installation is data of the package: it is fetched by
// number in CurrentLanguage, with "<product>" and "<os>" replaced (in any letter case)
// by DisplayName and the Windows directory. Until a package has been read the table is
// empty and every lookup answers the empty text, so callers keep their own fallbacks.

// The reader of the settings stream installs the table through this: the source
// answers the raw text of `number` in `language`, or an empty text.
using StringSource = String (*)(int number, int language);
void SetStringSource(StringSource source);

String LookupString(int number);

// Replaces "<product>" and "<os>" in `text`, ignoring letter case.
void ReplaceProductAndOs(String& text);
