#pragma once
#include "core/String.h"

// Where the dialogs get their texts: the package's string table, looked up by number in
// a language, ready to show ("<product>" and the like already replaced). The language
// dialog asks for the texts of the language being chosen while the choice changes; the
// other dialogs ask in the language they are given.
class TextSource {
public:
    // Text `number` in `language`; an empty text when the table has none.
    virtual String Text(int number, int language) const = 0;

protected:
    ~TextSource() = default;
};
