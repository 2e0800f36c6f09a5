#!/usr/bin/env bash
# The main job: sets up the machine, builds quox, makes the example installer and
# shows what it holds, and runs the stub under Wine.
# Usage: scripts/demo.sh [build directory]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOX_WINDOWS=ON >/dev/null
cmake --build "$build" -j2
"$build/builder/quox" build "$top/examples/hello/manifest.toml" -o "$build/hello-setup.exe"
"$build/builder/quox" inspect "$build/hello-setup.exe"
echo
QUOX_BUILD_DIR="$build" /usr/bin/python3 "$top/tests/wine/demo.py"
