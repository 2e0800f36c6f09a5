#!/bin/sh
# Builds the codec benchmark in its own build directory (first argument, or
# $TMPDIR/quox-codec-bench) and runs it. Needs zlib1g-dev and liblz4-dev, and the
# packages mingw-w64-common and libwine:i386 installed for the corpora.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${TMPDIR:-/tmp}/quox-codec-bench}
cmake -S "$root" -B "$build" -DQUOX_WINDOWS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target codec_bench >/dev/null
uname -srm
date -u '+%Y-%m-%d %H:%M UTC'
"$build/bench/codec/codec_bench"
