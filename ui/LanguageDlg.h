#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include "ui/TextSource.h"
#include <windows.h>

// The language dialog: the package's languages in a list, the user's own language (as
// Windows names it) chosen first, else English, else the first. While the selection
// moves the dialog re-labels itself in the language under the cursor and tells the
// listener, so that the background's title can follow.

class LanguageListener {
public:
    // The selection now shows `language`.
    virtual void LanguageShown(int language) = 0;

protected:
    ~LanguageListener() = default;
};

// Shows LanguageDlg modally over `owner` and answers kIdOk with `language` set to the
// chosen index, or kIdCancel; any other answer (-1: it could not be shown) counts as a
// cancel. A package with fewer than two languages has nothing to choose: the answer is
// kIdOk at once and `language` stays as it is. `listener` may be null.
int ShowLanguageDlg(HWND owner, const Vector<String>& languages, const TextSource& texts, LanguageListener* listener,
                    int& language);
