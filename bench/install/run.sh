#!/bin/sh
# Installs the two benchmark corpora silently under Wine with a quox installer and with
# NSIS 3 installers (zlib, and lzma solid) of the same files, each in a fresh prefix in
# the same run, and prints the wall times and the installers' sizes.
# Usage: bench/install/run.sh [build directory]   (default: build)
# Needs mingw-w64-common, libwine:i386 (the corpora) and nsis (makensis) installed.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DQUOX_WINDOWS=ON >/dev/null
cmake --build "$build" -j2 --target quox windows >/dev/null
QUOX_BUILD_DIR="$build" /usr/bin/python3 "$root/bench/install/install_bench.py"
