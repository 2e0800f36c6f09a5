#include "system/FileVersion.h"
#include "system/VersionText.h"
#include <windows.h>

bool ReadVersionBlock(const char* path, String& block)
{
    block.Clear();
    if (IsBlank(path))
        return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (static_cast<int32_t>(size) <= 0 || !block.TrySetLength(static_cast<int32_t>(size)))
        return false;
    if (!GetFileVersionInfoA(path, handle, size, block.Buffer())) {
        block.Clear();
        return false;
    }
    return true;
}

// VerQueryValueA may write into the block: it keeps the ANSI copies of a wide resource's
// strings in the room GetFileVersionInfoSizeA added for them. So the block is not const.
static bool QueryBlock(String& block, const char* query, const void*& answer, UINT& length)
{
    void* found = nullptr;
    length = 0;
    if (block.IsEmpty() || !VerQueryValueA(block.Buffer(), query, &found, &length) || !found)
        return false;
    answer = found;
    return true;
}

String VersionTranslation(String& block)
{
    uint16_t language = kDefaultVersionLanguage;
    uint16_t codePage = kDefaultVersionCodePage;
    const void* answer = nullptr;
    UINT length = 0;
    if (QueryBlock(block, "\\VarFileInfo\\Translation", answer, length) && length >= 4) {
        const WORD* words = static_cast<const WORD*>(answer);
        language = words[0];
        codePage = words[1];
    }
    return TranslationText(language, codePage);
}

bool ReadVersionString(const char* path, const char* name, String& text)
{
    text.Clear();
    String block;
    if (IsBlank(name) || !ReadVersionBlock(path, block))
        return false;
    String query = "\\StringFileInfo\\" + VersionTranslation(block) + "\\" + name;
    const void* answer = nullptr;
    UINT length = 0;
    if (!QueryBlock(block, query.Text(), answer, length))
        return false;
    // The length counts characters and, depending on the Windows, the terminator too.
    text.AssignMax(static_cast<const char*>(answer), static_cast<int32_t>(length));
    return true;
}

String FileVersion(const char* path, bool padded)
{
    String version;
    if (!ReadVersionString(path, "FileVersion", version))
        return String();
    NormalizeVersionText(version, padded);
    return version;
}
