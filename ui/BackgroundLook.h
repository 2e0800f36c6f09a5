#pragma once
#include "core/String.h"
#include "ui/PackedBitmap.h"
#include <cstdint>

// How the background window looks: the package's look settings when installing, their
// saved copies when uninstalling. The window reads this while it paints, so its owner
// keeps it alive as long as the window and repaints after a change (RepaintBackground).
struct BackgroundLook {
    String displayTitle;       // may hold several lines
    uint32_t titleColor = 0;   // COLORREF, 0x00BBGGRR
    uint8_t titleShadow = 0;   // shadow offset in pixels, right and down; 0: none
    uint8_t titlePosition = 0; // kTitleNone, kTitleTopLeft ... kTitleBottomRight
    uint32_t topColor = 0;
    uint32_t bottomColor = 0;
    bool monoColor = false;    // one plain fill in topColor
    int32_t bitmapSize = 0;    // percent of the window the picture fills; 0: not drawn
    bool fullScreen = false;   // maximized over the whole screen instead of the work area
    PackedBitmap picture;      // may hold no picture
};
