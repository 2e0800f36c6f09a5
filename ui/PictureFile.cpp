#include "ui/PictureFile.h"
#include "system/File.h"
#include "system/FileOperations.h"
#include "system/Path.h"

bool LoadPictureFile(PackedBitmap& picture, String name)
{
    picture.Clear();
    AddExtension(name, "bmp");
    String file;
    if (ReadWholeFile(name.Text(), file) != File::kOpened)
        return false;
    return picture.LoadFileImage(file);
}

bool SavePictureFile(const PackedBitmap& picture, const char* name)
{
    String file = picture.FileImage();
    return !file.IsEmpty() && WriteWholeFile(name, file);
}
