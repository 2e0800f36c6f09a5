#pragma once
#include "core/IntegerStepper.h"
#include "core/String.h"
#include <cstdint>

// The arithmetic of the background window: where the picture goes, how the gradient is
// banded when msimg32's GradientFill is missing, and where the title stands. Kept apart
// from the drawing so that the host's unit tests can check it to the pixel.
//
// Rectangles are as GetClientRect gives them (right and bottom one past the last pixel);
// colours are COLORREF values (0x00BBGGRR).

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct PixelBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Where a picture of the given size is stretched to in the client rectangle when it
// fills `bitmapSize` percent (1 to 100) of it. At 100 it covers the whole rectangle,
// whatever its own proportions. Below 100 a box of that share of the rectangle is
// centred in it, and then narrowed (or flattened) to the picture's proportions and
// centred again.
PixelBox PicturePlacement(const PixelRect& client, int32_t bitmapSize, int32_t pictureWidth, int32_t pictureHeight);

// The gradient as horizontal bands of solid colour, from the top colour to the bottom
// colour. Bands are 1 to 3 pixels high (the height / 224); every band is stepped before
// it is filled, so the first is already one step from the top colour, and the band that
// completes the steps is exactly the bottom colour. Bands past that keep the bottom
// colour, so no channel runs past it. Each band reaches one pixel further right than
// the rectangle.
class GradientBands {
public:
    GradientBands(const PixelRect& rect, uint32_t topColor, uint32_t bottomColor);

    int32_t BandHeight() const { return m_bandHeight; }
    // The next band and its colour; false when the rectangle is covered.
    bool Next(PixelRect& band, uint32_t& color);

private:
    PixelRect m_rect;
    int32_t m_bandHeight = 1;
    int32_t m_steps = 0;
    int32_t m_stepped = 0;
    int32_t m_nextTop = 0;
    int32_t m_channels[3] = {};
    IntegerStepper m_steppers[3] = { { 0, 1 }, { 0, 1 }, { 0, 1 } };
};

// Walks the lines of a title without copying them: a line ends at every line break (CR,
// LF, CR LF and LF CR count as one), and the blanks at its end are not part of it.
class TitleLineReader {
public:
    explicit TitleLineReader(const String& title)
        : m_text(title.Text())
        , m_length(title.Length())
    {
    }
    // The next line; false after the last. A text ending in a break ends in an empty line.
    bool Next(const char*& line, int32_t& length);

private:
    const char* m_text;
    int32_t m_length;
    int32_t m_position = 0;
};

// Title positions.
constexpr int kTitleNone = 0;
constexpr int kTitleTopLeft = 1;
constexpr int kTitleTopCenter = 2;
constexpr int kTitleTopRight = 3;
constexpr int kTitleBottomLeft = 4;
constexpr int kTitleBottomCenter = 5;
constexpr int kTitleBottomRight = 6;

// The largest title font in points and the size at which the search stops shrinking.
constexpr int kTitleLargestPoints = 26;
constexpr int kTitleSmallestPoints = 6;

// Whether a title `textWidth` pixels wide (with its shadow) fits the client width.
bool TitleFits(const PixelRect& client, int32_t shadow, int32_t textWidth);

// The top-left corner of the title's first line, for a title block `textWidth` wide
// (its widest line) and `textHeight` high (all its lines).
void TitleOrigin(const PixelRect& client, int position, int32_t shadow, int32_t textWidth, int32_t textHeight,
                 int32_t& x, int32_t& y);
