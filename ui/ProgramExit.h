#pragma once

// The one way the program ends, successful or not: destroys the progress dialog,
// minimizes and destroys the background window, dispatches pending messages once,
// uninitialises OLE, frees the libraries loaded at run time and ends the process with
// exit code 1, the program's only exit code.
[[noreturn]] void ExitProgram();
