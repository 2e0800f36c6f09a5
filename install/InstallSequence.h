#pragma once

class InstallerState;

// The whole installation: every step of install/steps/ in its order, from reading the
// package to the closing message. Ends through the exit routine; never returns.
[[noreturn]] void RunInstallSequence(InstallerState& state);
