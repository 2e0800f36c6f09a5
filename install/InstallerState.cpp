#include "install/InstallerState.h"

bool AutomaticMode = false;
bool UninstallMode = false;
String InstallDir;
String DisplayName;
String UninstallName;
String RunAfterInstall;
uint64_t ProductFlags = 0;
int CurrentLanguage = 0;
HWND BackgroundWindow = nullptr;
HWND ProgressDialog = nullptr;
DWORD StepStartTick = 0;
const char* ApplicationTitle = "QUOX Installer";
