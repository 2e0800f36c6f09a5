#pragma once
#include "core/String.h"
#include <cstdint>

// Reads the double-quoted item at `position` of `text` into `item` (without the quotes)
// and moves `position` past its closing quote, or to the end when it is not closed.
// False, with nothing read, when there is no quote at `position`. The lists of quoted
// items in the Uninstall entry hold paths and font names, which never hold a quote, so
// a quote always ends the item. Reads each byte once, however long the list.
bool ReadQuotedItem(const String& text, int32_t& position, String& item);
