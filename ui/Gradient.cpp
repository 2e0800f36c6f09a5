#include "ui/Gradient.h"
#include "system/OwnedHandle.h"
#include "system/RuntimeLoader.h"

namespace {

using GradientFillFunction = BOOL(WINAPI*)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);

// msimg32 is not on every Windows of the family; it is asked for once and the answer,
// found or not, kept for the life of the process.
GradientFillFunction GradientFillOrNull()
{
    static bool s_looked;
    static void* s_function;
    if (!s_looked) {
        s_looked = true;
        // Missing on Windows 95 without its update: the gradient is then drawn in bands.
        if (!LoadRuntimeFunction("msimg32.dll", "GradientFill", s_function))
            s_function = nullptr;
    }
    return reinterpret_cast<GradientFillFunction>(s_function);
}

void SetVertex(TRIVERTEX& vertex, LONG x, LONG y, uint32_t color)
{
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>((color & 0xff) << 8);
    vertex.Green = static_cast<COLOR16>(color & 0xff00);
    vertex.Blue = static_cast<COLOR16>((color >> 8) & 0xff00);
    vertex.Alpha = 0;
}

}

void FillSolid(HDC dc, const RECT& rect, uint32_t color)
{
    GdiObject brush(CreateSolidBrush(color));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

void FillGradient(HDC dc, const RECT& rect, uint32_t topColor, uint32_t bottomColor)
{
    if (GradientFillFunction gradientFill = GradientFillOrNull()) {
        TRIVERTEX vertices[2];
        SetVertex(vertices[0], rect.left, rect.top, topColor);
        SetVertex(vertices[1], rect.right, rect.bottom, bottomColor);
        GRADIENT_RECT joined = { 0, 1 };
        gradientFill(dc, vertices, 2, &joined, 1, GRADIENT_FILL_RECT_V);
        return;
    }
    GradientBands bands(ToPixelRect(rect), topColor, bottomColor);
    PixelRect band;
    uint32_t color;
    while (bands.Next(band, color))
        FillSolid(dc, ToRect(band), color);
}
