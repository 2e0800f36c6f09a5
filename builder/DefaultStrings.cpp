#include "builder/DefaultStrings.h"
#include <cstring>

namespace {

struct Message {
    int number;
    const char* arguments; // null: shown as it is
    const char* text;
};

// By number. Purpose in the comment; texts shown in boxes use \r\n between paragraphs.
const Message kEnglish[] = {
    // 0: title painted on the background window.
    { 0, nullptr, "<product>" },
    // 1: the opening Yes/No question (caption 65).
    { 1, nullptr, "This will install <product> on your computer.\r\n\r\nDo you want to continue?" },
    // 2: caption of the reinstall question.
    { 2, nullptr, "<product> Is Already Installed" },
    // 3-6: first line of the reinstall question: no comparison, same, older, newer version.
    { 3, nullptr, "<product> is already installed in this folder:" },
    { 4, nullptr, "The same version of <product> is already installed in this folder:" },
    { 5, nullptr, "An older version of <product> is installed in this folder:" },
    { 6, nullptr, "A newer version of <product> is installed in this folder:" },
    // 7: closing line of the reinstall question.
    { 7, nullptr, "Do you want to install <product> into this folder again?" },
    // 8: progress text of the first step.
    { 8, nullptr, "Preparing to install..." },
    // 9: the product may not be reinstalled.
    { 9, nullptr, "<product> is already installed on this computer. Remove it before you install it again." },
    // 10: uninstall failed; formatted with the list of what could not be removed.
    { 10, "s", "Some parts of <product> could not be removed:\r\n\r\n%s\r\n"
               "You can remove them yourself, or run the uninstaller again after restarting Windows." },
    // 11: label of the folder dialog and title of the folder browser.
    { 11, nullptr, "Choose the folder to install <product> in:" },
    // 12: the master product is missing; formatted with its name.
    { 12, "s", "<product> needs %s, which is not installed on this computer. Install it first." },
    // 13: the corrupt-installer message; formatted with the error code.
    { 13, "d", "This installation program is corrupt.  This is usually caused by a faulty download, but it can "
               "also be caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
               "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem "
               "persists, check your system for viruses.\r\n\r\nError code: %d" },
    // 14: the chosen folder is not a valid path (the path follows on the next line).
    { 14, nullptr, "This is not a valid folder name:" },
    // 15: caption of the uninstaller's closing message.
    { 15, nullptr, "<product> Uninstall" },
    // 16: the drive is not ready; formatted with the drive letter.
    { 16, "c", "Drive %c: is not ready. Insert a disk or choose another drive." },
    // 17: a root folder was chosen.
    { 17, nullptr, "<product> cannot be installed into the root folder of a drive. Choose a folder below it." },
    // 18: the Program Files folder itself was chosen; formatted with its path.
    { 18, "s", "<product> cannot be installed directly into %s. Choose a folder below it." },
    // 19: low disk space; formatted with the space needed, the drive letter, the space free.
    { 19, "scs", "<product> needs %s of disk space on drive %c:, but only %s is free.\r\n\r\n"
                 "Do you want to install it anyway?" },
    // 20: caption of the disk space, cancel and restart questions and of the uninstall errors.
    { 20, nullptr, "<product>" },
    // 21: caption of error boxes.
    { 21, nullptr, "Error" },
    // 22, 23: the folder exists / will be created; formatted with the folder. 24: their
    // caption and the folder dialog's title.
    { 22, "s", "The folder %s already exists.\r\n\r\nDo you want to install <product> into it?" },
    { 23, "s", "The folder %s does not exist.\r\n\r\nDo you want to create it?" },
    { 24, nullptr, "Installation Folder" },
    // 25: a folder could not be created (the folder follows).
    { 25, nullptr, "Unable to create the folder" },
    // 26: insert the next disk; formatted with the volume number and the drive letter.
    { 26, "dc", "Please insert disk %d into drive %c: and click OK." },
    // 27: caption of that prompt.
    { 27, nullptr, "Insert Disk" },
    // 28: the cancel question (caption 20).
    { 28, nullptr, "Do you really want to stop the installation of <product>?" },
    // 29: progress text while the file data is decompressed.
    { 29, nullptr, "Unpacking files..." },
    // 30: put before the disk prompt when a volume was missing or wrong.
    { 30, nullptr, "The disk in the drive is not the right one, or it cannot be read." },
    // 31: a file or shortcut could not be created (its path follows).
    { 31, nullptr, "Unable to create the file" },
    // 32: progress text of the shortcut and registry step.
    { 32, nullptr, "Creating shortcuts and registry entries..." },
    // 33: the name of the uninstaller's shortcuts.
    { 33, nullptr, "Uninstall <product>" },
    // 34: the uninstaller's closing message (caption 15).
    { 34, nullptr, "<product> has been removed from your computer." },
    // 35: caption of the shared-file removal question.
    { 35, nullptr, "Remove Shared File?" },
    // 36: progress text while the uninstall record is saved.
    { 36, nullptr, "Saving the uninstall information..." },
    // 37: the restart question (caption 20).
    { 37, nullptr, "Windows must be restarted to finish the installation of <product>.\r\n\r\n"
                   "Do you want to restart now?" },
    // 38: a shortcut's name when the package gives none; formatted with the file name.
    { 38, "s", "%s" },
    // 39: label of the progress dialog while installing.
    { 39, nullptr, "Installing <product>..." },
    // 40: errors happened; formatted with the path of the install log. 41: its caption.
    { 40, "s", "Some parts of <product> could not be installed. The details are in the log:\r\n%s\r\n\r\n"
               "Do you want to see the log now?" },
    { 41, nullptr, "Installation Errors" },
    // 42: success message. 43: its caption, also written into the log when all went well.
    { 42, nullptr, "<product> has been installed successfully." },
    { 43, nullptr, "Installation Complete" },
    // 44-47: licence dialog: title, accept button, decline button, label.
    { 44, nullptr, "Licence Agreement" },
    { 45, nullptr, "I Accept" },
    { 46, nullptr, "I Do Not Accept" },
    { 47, nullptr, "Please read the following licence agreement. You must accept it to install <product>." },
    // 48, 49: OK and Cancel buttons.
    { 48, nullptr, "OK" },
    { 49, nullptr, "Cancel" },
    // 50, 51: readme dialog: title, label.
    { 50, nullptr, "Read Me" },
    { 51, nullptr, "Please read the following information about <product>:" },
    // 52: the folder dialog's browse button.
    { 52, nullptr, "Browse..." },
    // 53: the uninstaller's confirmation (caption 55).
    { 53, nullptr, "Do you want to remove <product> and all of its components from your computer?" },
    // 54, 55: title of the progress dialog when installing / uninstalling.
    { 54, nullptr, "<product> Setup" },
    { 55, nullptr, "<product> Uninstall" },
    // 56: remove a font?; formatted with its face name. 57: its caption.
    { 56, "s", "Do you want to remove the font %s?" },
    { 57, nullptr, "Remove Font?" },
    // 58: a file could not be removed (its path follows).
    { 58, nullptr, "Unable to remove the file" },
    // 59: remove a shared file no longer used?; formatted with its path (caption 35).
    { 59, "s", "The shared file\r\n%s\r\nis no longer used by any program. Do you want to remove it?\r\n\r\n"
               "If you are not sure, answer No." },
    // 61: this Windows version is not supported; formatted with its name.
    { 61, "s", "<product> cannot be installed on %s." },
    // 62: progress text while the file data is verified.
    { 62, nullptr, "Verifying files..." },
    // 63, 64: a licence and a readme text kept in the string table, shown before those of
    // the package when not empty. Empty unless the manifest gives one.
    { 63, nullptr, "" },
    { 64, nullptr, "" },
    // 65: caption of the opening question.
    { 65, nullptr, "<product> Setup" },
    // 66: network folders are not allowed.
    { 66, nullptr, "<product> cannot be installed into a network folder. Choose a folder on a local drive." },
    // 67-70: uninstall progress texts: fonts, uninstall record, registry entries, file types.
    { 67, nullptr, "Removing fonts..." },
    { 68, nullptr, "Updating the uninstall information..." },
    { 69, nullptr, "Removing registry entries..." },
    { 70, nullptr, "Removing file associations..." },
    // 71: label of the progress dialog while uninstalling.
    { 71, nullptr, "Removing <product>..." },
};

const Message* Find(int number)
{
    for (const Message& message : kEnglish) {
        if (message.number == number)
            return &message;
    }
    return nullptr;
}

}

const char* DefaultEnglishString(int number)
{
    const Message* message = Find(number);
    return message ? message->text : nullptr;
}

const char* MessageArguments(int number)
{
    const Message* message = Find(number);
    return message ? message->arguments : nullptr;
}

std::string CheckMessageConversions(int number, const std::string& text)
{
    const char* expected = MessageArguments(number);
    if (!expected)
        return std::string();
    std::string list;
    for (const char* c = expected; *c; ++c)
        list += std::string(list.empty() ? "" : ", ") + "%" + *c;
    size_t used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        ++i;
        if (next == '%')
            continue;
        std::string what = next ? std::string("%") + next : std::string("%");
        if (!next || !strchr("sdc", next) || used >= strlen(expected) || expected[used] != next)
            return "\"" + what + "\" does not fit: message " + std::to_string(number) + " is formatted with " + list +
                   " (in that order, fewer is fine); write %% for a percent sign";
        ++used;
    }
    return std::string();
}
