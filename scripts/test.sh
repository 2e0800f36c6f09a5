#!/usr/bin/env bash
# Sets up the machine and runs every test: the host unit tests and fuzz-seed replays
# (built with AddressSanitizer and UBSan), and the Wine tests of the real stub.
# Usage: scripts/test.sh [build directory]   (default: build-test)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-test}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOX_SANITIZE=ON -DQUOX_WINDOWS=ON >/dev/null
cmake --build "$build" -j2
cd "$build"
ctest -j2 --output-on-failure
