#pragma once

// The whole installation, from the payload to the closing message. Ends through the
// exit routine; never returns.
[[noreturn]] void RunInstallSequence();
