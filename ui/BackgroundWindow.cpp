// The background window paints in two messages: WM_ERASEBKGND lays the colours and the
// picture, WM_PAINT the title over them. Everything else is the default handling.
#include "ui/BackgroundWindow.h"
#include "core/Fatal.h"
#include "system/OwnedHandle.h"
#include "ui/BackgroundGeometry.h"
#include "ui/Gradient.h"

namespace {

constexpr char kClassName[] = "QOX Window Class";

const BackgroundLook* LookOf(HWND window)
{
    return reinterpret_cast<const BackgroundLook*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void EraseBackground(HWND window, HDC dc, const BackgroundLook& look)
{
    RECT client;
    GetClientRect(window, &client);
    const PackedBitmap& picture = look.picture;
    if (!picture.IsValid() || look.bitmapSize < 100) {
        if (look.monoColor)
            FillSolid(dc, client, look.topColor);
        else
            FillGradient(dc, client, look.topColor, look.bottomColor);
    }
    if (!picture.IsValid() || look.bitmapSize <= 0)
        return;
    PixelBox box = PicturePlacement(ToPixelRect(client), look.bitmapSize, picture.Width(), picture.Height());
    // GDI's default stretching ANDs the rows it drops, which darkens a colour picture.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, box.x, box.y, box.width, box.height, 0, 0, picture.Width(), picture.Height(), picture.Bits(),
                  static_cast<const BITMAPINFO*>(picture.Header()), DIB_RGB_COLORS, SRCCOPY);
}

// The title's font at one size, and the size of the title block in it: its widest
// line, and from the top of the first line to the bottom of the last that is not empty.
struct TitleFont {
    GdiObject font;
    int32_t lineHeight = 0;
    SIZE block = {};
};

void MeasureTitle(HDC dc, const String& title, TitleFont& font)
{
    font.block = {};
    TitleLineReader reader(title);
    const char* line;
    int32_t length;
    for (int32_t row = 0; reader.Next(line, length); ++row) {
        SIZE extent = {};
        if (!length || !GetTextExtentPoint32A(dc, line, length, &extent))
            continue;
        if (extent.cx > font.block.cx)
            font.block.cx = extent.cx;
        font.block.cy = row * font.lineHeight + extent.cy;
    }
}

// Tries sizes from 26 points down until the title fits the window's width; at 6 points
// it is taken as it is.
void ChooseTitleFont(HDC dc, const PixelRect& client, const BackgroundLook& look, TitleFont& font)
{
    int logicalInch = GetDeviceCaps(dc, LOGPIXELSY);
    for (int points = kTitleLargestPoints;; --points) {
        font.lineHeight = logicalInch * points / 72;
        font.font.Reset(CreateFontA(font.lineHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH,
                                    "Times New Roman"));
        HGDIOBJ previous = SelectObject(dc, font.font.Get());
        MeasureTitle(dc, look.displayTitle, font);
        SelectObject(dc, previous);
        if (points <= kTitleSmallestPoints || TitleFits(client, look.titleShadow, font.block.cx))
            return;
    }
}

void DrawTitle(HDC dc, const String& title, int32_t x, int32_t y, int32_t lineHeight)
{
    TitleLineReader reader(title);
    const char* line;
    int32_t length;
    for (int32_t top = y; reader.Next(line, length); top += lineHeight)
        TextOutA(dc, x, top, line, length);
}

void PaintTitle(HWND window, HDC dc, const BackgroundLook& look)
{
    if (look.displayTitle.IsEmpty() || look.titlePosition == kTitleNone)
        return;
    RECT rect;
    GetClientRect(window, &rect);
    PixelRect client = ToPixelRect(rect);
    TitleFont font;
    ChooseTitleFont(dc, client, look, font);
    int32_t x, y;
    TitleOrigin(client, look.titlePosition, look.titleShadow, font.block.cx, font.block.cy, x, y);
    HGDIOBJ previous = SelectObject(dc, font.font.Get());
    SetBkMode(dc, TRANSPARENT);
    if (look.titleShadow) {
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTitle(dc, look.displayTitle, x + look.titleShadow, y + look.titleShadow, font.lineHeight);
    }
    SetTextColor(dc, look.titleColor);
    DrawTitle(dc, look.displayTitle, x, y, font.lineHeight);
    SelectObject(dc, previous);
}

LRESULT CALLBACK BackgroundProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    const BackgroundLook* look = LookOf(window);
    if (look && message == WM_ERASEBKGND) {
        EraseBackground(window, reinterpret_cast<HDC>(wParam), *look);
        return 1;
    }
    if (look && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintTitle(window, dc, *look);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

[[noreturn]] void WindowFailed()
{
    FatalStop("Failed to create the installer's window.  Please reboot your machine and try again.");
}

}

HWND CreateBackgroundWindow(HINSTANCE instance, const BackgroundLook& look)
{
    static bool s_registered;
    if (!s_registered) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = BackgroundProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassA(&windowClass))
            WindowFailed();
        s_registered = true;
    }
    bool fullScreen = look.fullScreen;
    RECT area = {};
    if (!fullScreen && !SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        fullScreen = true;
        area = {};
    }
    HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, nullptr, nullptr, instance,
                                  const_cast<BackgroundLook*>(&look));
    if (!window)
        WindowFailed();
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, fullScreen ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    RepaintBackground(window);
    return window;
}

void RepaintBackground(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
}
