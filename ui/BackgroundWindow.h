#pragma once
#include "ui/BackgroundLook.h"
#include <windows.h>

// The borderless window that stands behind every dialog of an installation: a gradient
// or plain colour, optionally a picture, and the product's title. It covers the work
// area, or the whole screen (maximized) when the look asks for it.

// Registers the window class "QOX Window Class" (once per process), creates the window,
// shows it in front and returns it. The window paints from `look`, which must outlive
// it. A window that cannot be made is fatal: the installer has nowhere to stand.
HWND CreateBackgroundWindow(HINSTANCE instance, const BackgroundLook& look);

// Paints the whole window again, for instance after the look's title has changed.
void RepaintBackground(HWND window);
