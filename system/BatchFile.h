#pragma once
#include "core/String.h"
#include <cstdint>

// The command batch: commands a package's author wrote (the scripts around an
// installation and the two uninstall batches) run by the command interpreter from a
// file QUOXBAT.BAT, after SET lines that give them this program's folders by name
// (InstallDir, SystemDir, FontDir and the rest), so that the same commands work on every
// machine.

// Options of RunBatch.
constexpr uint32_t kBatchHidden = 0x1;     // the console window is hidden; PAUSE lines are dropped
constexpr uint32_t kBatchUnattended = 0x2; // nobody is at the machine (automatic mode): PAUSE lines are dropped

// The batch's text: "@echo off", the SET lines (InstallDir and InstallDrive only for an
// install directory that is not empty), then the commands; every line ends in CR LF.
String BatchText(const String& installDir, const String& sharedDir, const String& commands, uint32_t options);

// Unless the commands are blank, writes the batch as QUOXBAT.BAT in `installDir`, runs it
// there with the command interpreter and waits for its end, running `pump` (which may be
// null) meanwhile so that the caller's windows stay alive, then deletes it. False when
// nothing ran: blank commands, or a batch that could not be written or started.
bool RunBatch(const String& installDir, const String& sharedDir, const String& commands, uint32_t options,
              bool (*pump)());
