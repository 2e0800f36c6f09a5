#pragma once
#include <cstdint>
#include <windows.h>

// Fills the rectangle with a vertical gradient from `topColor` to `bottomColor`. It uses
// msimg32's GradientFill, looked up once per process, and draws the gradient in
// bands of solid colour where that library or function is missing.
void FillGradient(HDC dc, const RECT& rect, uint32_t topColor, uint32_t bottomColor);

// Fills the rectangle with one colour.
void FillSolid(HDC dc, const RECT& rect, uint32_t color);
