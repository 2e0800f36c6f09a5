#pragma once

// The dialog resources of the program (Dialogs.rc) and the ids of their controls. The
// templates carry the same numbers; the Wine tests read every control of every template
// back and compare.

constexpr const char* kLanguageDlg = "LanguageDlg";
constexpr const char* kLicenseDlg = "LicenseDlg";
constexpr const char* kReadmeDlg = "ReadmeDlg";
constexpr const char* kChooseDirDlg = "ChooseDirDlg";
constexpr const char* kProgressDlg = "ProgressDlg";

constexpr int kIdOk = 1001;            // OK, accept
constexpr int kIdCancel = 1003;        // Cancel, decline
constexpr int kIdText = 1005;          // the licence or readme text
constexpr int kIdProgressFrame = 1007; // where the progress bar goes
constexpr int kIdLabel = 1009;
constexpr int kIdStepText = 1011;
constexpr int kIdBrowse = 1013;
constexpr int kIdDirectory = 1015;
constexpr int kIdLanguageList = 1017;
