#pragma once
#include "core/String.h"
#include "ui/PackedBitmap.h"

// The background picture as a .BMP file: the installer saves it beside the uninstaller
// ("Installer Background.BMP") so that the uninstaller can show the same background.

// Reads a .BMP file into `picture`; a name without an extension gets ".bmp". False, and
// no picture, when the file is missing or does not hold a picture that can be drawn.
bool LoadPictureFile(PackedBitmap& picture, String name);

// Writes the picture as a .BMP file (file header, then the packed bitmap). False when
// there is no picture or the file cannot be written.
bool SavePictureFile(const PackedBitmap& picture, const char* name);
