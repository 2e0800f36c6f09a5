#!/usr/bin/env bash
# The stub's size and what it is made of: sections, code by source file, largest
# functions. Builds the stub and its unstripped twin first (see scripts/stub_size.py).
# Usage: scripts/stub-size.sh [Windows build directory] [--top N]
#        (default: build/windows, the Windows build inside the host build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/windows}
shift || true
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "no Windows build in $build: build the host build first, or configure one with" >&2
    echo "  cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake" >&2
    exit 1
fi
cmake --build "$build" -j2 --target quoxstub quoxstub-sizes >/dev/null
exec /usr/bin/python3 "$top/scripts/stub_size.py" "$build" "$@"
