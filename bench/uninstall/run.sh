#!/bin/sh
# Times the uninstallation of the two benchmark corpora under Wine: quox's uninstaller
# beside NSIS's, in the same prefix and run (see README.md).
# Usage: bench/uninstall/run.sh [build directory] [runs]   (default: build, 3 runs)
# Needs the packages nsis, mingw-w64-common and libwine:i386, and the Wine bench's
# set-up (scripts/setup.sh).
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
cmake --build "$build" -j2 >/dev/null
uname -srm
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'
date -u '+%Y-%m-%d %H:%M UTC'
cd "$root/tests/wine"
QUOX_BUILD_DIR="$build" /usr/bin/python3 "$root/bench/uninstall/uninstall_bench.py" --runs "$runs"
