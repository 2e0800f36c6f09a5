// The product's fonts: registration, the loaded resource and the file in the font
// directory.
#include "records/FontList.h"
#include "records/UninstallValue.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/SystemFolders.h"
#include "uninstall/Uninstaller.h"

namespace {

// A window that does not answer must not hold the uninstallation up.
constexpr UINT kFontChangeTimeout = 2000;

}

bool RemoveFonts(Uninstaller& u)
{
    const String& fonts = u.entry.productFonts;
    if (fonts.IsEmpty())
        return true;
    u.Step(67, 5);
    String fontDir = FolderPath(SystemFolder::Fonts);
    bool removed = false;
    String faceName;
    String fileName;
    for (int32_t at = 0; NextFont(fonts, at, faceName, fileName);) {
        if (fileName.IsEmpty())
            continue;
        if (u.Has(kFlagAskFontRemoval) &&
            !u.questions.AskYesNo(FillInMessage(u.Message(56), faceName), u.Message(57), BoxIcon::Question,
                                  QuestionKind::GoOn))
            continue;
        (void)UnregisterFont(faceName.Text());
        // The installer loads a font by its bare name, which Windows finds in the font
        // directory; the file lies there whatever the record says.
        String path = JoinPath(fontDir, FileNamePart(fileName));
        if (!RemoveFontResourceA(fileName.Text()))
            (void)RemoveFontResourceA(path.Text());
        removed = true;
        // A font file in use is tried again with the files, and left in the record when
        // it still cannot go.
        if (!DeleteOneFile(path.Text(), 0) && FileAttributes(path.Text()) != -1) {
            UninstallItem* item = u.record.items.AppendNew();
            item->path = path;
            item->percent = 90;
        }
    }
    (void)u.key.DeleteValue(UninstallValueName::kProductFonts);
    if (removed)
        SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeTimeout, nullptr);
    return true;
}
