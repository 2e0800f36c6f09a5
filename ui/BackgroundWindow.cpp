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
    PixelBox box = PicturePlacement({ client.left, client.top, client.right, client.bottom }, look.bitmapSize,
                                    picture.Width(), picture.Height());
    // GDI's default stretching ANDs the rows it drops, which darkens a colour picture.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, box.x, box.y, box.width, box.height, 0, 0, picture.Width(), picture.Height(), picture.Bits(),
                  static_cast<const BITMAPINFO*>(picture.Header()), DIB_RGB_COLORS, SRCCOPY);
}

// The font of the title at one size, and the size of the title block in it.
struct TitleFont {
    GdiObject font;
    int32_t lineHeight = 0;
    SIZE block = {};
};

void MeasureTitle(HDC dc, const Vector<String>& lines, TitleFont& title)
{
    title.block = {};
    for (int32_t i = 0; i < lines.Count(); ++i) {
        SIZE extent = {};
        GetTextExtentPoint32A(dc, lines[i].Text(), lines[i].Length(), &extent);
        if (extent.cx > title.block.cx)
            title.block.cx = extent.cx;
        // Each line stands one font height below the one before it.
        title.block.cy = i * title.lineHeight + extent.cy;
    }
}

// Tries sizes from 26 points down until the title fits the window's width; at 6 points
// it is taken as it is.
void ChooseTitleFont(HDC dc, const RECT& client, const BackgroundLook& look, const Vector<String>& lines,
                     TitleFont& title)
{
    int logicalInch = GetDeviceCaps(dc, LOGPIXELSY);
    for (int points = kTitleLargestPoints;; --points) {
        title.lineHeight = logicalInch * points / 72;
        title.font.Reset(CreateFontA(title.lineHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH,
                                     "Times New Roman"));
        HGDIOBJ previous = SelectObject(dc, title.font.Get());
        MeasureTitle(dc, lines, title);
        SelectObject(dc, previous);
        if (points <= kTitleSmallestPoints ||
            TitleFits({ client.left, client.top, client.right, client.bottom }, look.titleShadow, title.block.cx))
            return;
    }
}

void DrawTitleLines(HDC dc, const Vector<String>& lines, int32_t x, int32_t y, int32_t lineHeight)
{
    for (int32_t i = 0; i < lines.Count(); ++i)
        TextOutA(dc, x, y + i * lineHeight, lines[i].Text(), lines[i].Length());
}

void PaintTitle(HWND window, HDC dc, const BackgroundLook& look)
{
    if (look.displayTitle.IsEmpty() || look.titlePosition == kTitleNone)
        return;
    Vector<String> lines = TitleLines(look.displayTitle);
    RECT client;
    GetClientRect(window, &client);
    TitleFont title;
    ChooseTitleFont(dc, client, look, lines, title);
    int32_t x, y;
    TitleOrigin({ client.left, client.top, client.right, client.bottom }, look.titlePosition, look.titleShadow,
                title.block.cx, title.block.cy, x, y);
    HGDIOBJ previous = SelectObject(dc, title.font.Get());
    SetBkMode(dc, TRANSPARENT);
    if (look.titleShadow) {
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTitleLines(dc, lines, x + look.titleShadow, y + look.titleShadow, title.lineHeight);
    }
    SetTextColor(dc, look.titleColor);
    DrawTitleLines(dc, lines, x, y, title.lineHeight);
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
