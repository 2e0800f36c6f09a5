#pragma once
#include "ui/BackgroundGeometry.h"
#include <cstdint>
#include <windows.h>

// The background's arithmetic works on its own rectangles; these carry them to and from
// GDI's.
inline PixelRect ToPixelRect(const RECT& rect)
{
    return { rect.left, rect.top, rect.right, rect.bottom };
}

inline RECT ToRect(const PixelRect& rect)
{
    return { rect.left, rect.top, rect.right, rect.bottom };
}

// Fills the rectangle with a vertical gradient from `topColor` to `bottomColor`. It uses
// msimg32's GradientFill, looked up once per process, and draws the gradient in
// bands of solid colour where that library or function is missing.
void FillGradient(HDC dc, const RECT& rect, uint32_t topColor, uint32_t bottomColor);

// Fills the rectangle with one colour.
void FillSolid(HDC dc, const RECT& rect, uint32_t color);
