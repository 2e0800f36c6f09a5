#!/usr/bin/env bash
# The main job: sets up the machine, builds quox and runs the stub under Wine.
# Usage: scripts/demo.sh [build directory]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOX_WINDOWS=ON >/dev/null
cmake --build "$build" -j2
QUOX_BUILD_DIR="$build" /usr/bin/python3 "$top/tests/wine/demo.py"
