#pragma once

class InstallerState;
class InstallLog;

// One step of an installation, in a file of its own under install/steps/. A step reads
// the installer state (and changes only the install directory or RestartRequired),
// reports what it did and what failed in the log, and answers whether the
// installation goes on. Failures on the machine never stop it: they are lines in the
// log. A step stops it only when the person declined or cancelled; faults in the
// package end the program on the spot (the corrupt-installer report).
enum class StepResult : unsigned char {
    GoOn,
    Stop, // the installation ends here, through the exit routine
};

using InstallStep = StepResult (*)(InstallerState& state, InstallLog& log);

// The steps, each in its own file.
StepResult ReadPackage(InstallerState& state, InstallLog& log);
StepResult ShowPackageSummary(InstallerState& state, InstallLog& log);
