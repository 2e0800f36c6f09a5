#pragma once

class InstallerState;
class InstallLog;

// One step of an installation, in a file of its own under install/steps/. A step reads
// the installer state (and changes only the install directory, RestartRequired and
// what it collects for later steps), reports what it did and what failed in the log,
// and answers whether the installation goes on. Failures on the machine never stop it:
// they are lines in the log. A step stops it only when the person declined or
// cancelled; faults in the package end the program on the spot (the corrupt-installer
// report).
enum class StepResult : unsigned char {
    GoOn,
    Stop, // the installation ends here, through the exit routine
};

using InstallStep = StepResult (*)(InstallerState& state, InstallLog& log);

// The steps, each in its own file, in the order of the install sequence.
StepResult ReadPackage(InstallerState& state, InstallLog& log);
StepResult ChooseLanguage(InstallerState& state, InstallLog& log);
StepResult CheckWindowsVersion(InstallerState& state, InstallLog& log);
StepResult CheckMasterProduct(InstallerState& state, InstallLog& log);
StepResult FindPreviousInstallation(InstallerState& state, InstallLog& log);
StepResult AskOpeningQuestion(InstallerState& state, InstallLog& log);
StepResult ShowLicensesAndReadmes(InstallerState& state, InstallLog& log);
StepResult ChooseDirectory(InstallerState& state, InstallLog& log);
StepResult RunPreInstallScript(InstallerState& state, InstallLog& log);
StepResult OpenProgressDialog(InstallerState& state, InstallLog& log);
StepResult LoadFileData(InstallerState& state, InstallLog& log);
StepResult CreateUninstallDirectory(InstallerState& state, InstallLog& log);
StepResult ApplyDeletionRules(InstallerState& state, InstallLog& log);
StepResult InstallFiles(InstallerState& state, InstallLog& log);
StepResult AnnounceFonts(InstallerState& state, InstallLog& log);
StepResult UpdateSharedCounts(InstallerState& state, InstallLog& log);
StepResult RegisterComServers(InstallerState& state, InstallLog& log);
StepResult RegisterTypeLibraries(InstallerState& state, InstallLog& log);
StepResult CreateShortcuts(InstallerState& state, InstallLog& log);
StepResult CreateUninstallerShortcuts(InstallerState& state, InstallLog& log);
StepResult SaveBackgroundBitmap(InstallerState& state, InstallLog& log);
StepResult CreateProductKey(InstallerState& state, InstallLog& log);
StepResult ApplyAssociations(InstallerState& state, InstallLog& log);
StepResult AddToPath(InstallerState& state, InstallLog& log);
StepResult WriteUninstaller(InstallerState& state, InstallLog& log);
StepResult WriteUninstallKey(InstallerState& state, InstallLog& log);
StepResult ShowProgressComplete(InstallerState& state, InstallLog& log);
StepResult WriteUninstallFile(InstallerState& state, InstallLog& log);
StepResult RunPostInstallScript(InstallerState& state, InstallLog& log);
StepResult RefreshDesktop(InstallerState& state, InstallLog& log);
StepResult CloseProgressDialog(InstallerState& state, InstallLog& log);
StepResult FinishLog(InstallerState& state, InstallLog& log);
StepResult AskRestart(InstallerState& state, InstallLog& log);
StepResult RunClosingScript(InstallerState& state, InstallLog& log);
StepResult RemoveEmptyDirectories(InstallerState& state, InstallLog& log);
StepResult RestartOrLaunch(InstallerState& state, InstallLog& log);
