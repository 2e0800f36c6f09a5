#!/bin/sh
# Times `quox build` on the two benchmark corpora at the fast and best levels (and
# without compression, for the floor): the Windows SDK headers of mingw-w64-common and
# the 32-bit Wine builtin modules of libwine:i386 whose names start with a, b or c.
# Usage: bench/builder/run.sh [build directory]   (default: $TMPDIR/quox-builder-bench)
# Needs the packages mingw-w64-common and libwine:i386 installed.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${TMPDIR:-/tmp}/quox-builder-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$root" -B "$build" -DQUOX_WINDOWS=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quox windows >/dev/null
quox=$build/builder/quox
stub=$build/windows/install/quoxstub.exe

headers=$(dpkg -L mingw-w64-common | grep -m1 '/mingw-w64/include$')
dlls=$(dpkg -L libwine:i386 | grep -m1 '/i386-windows$')
cat > "$work/headers.toml" <<TOML
[product]
name = "SDK headers"
[files.headers]
source = "$headers/**"
TOML
cat > "$work/dlls.toml" <<TOML
[product]
name = "Wine modules"
[files.modules]
source = "$dlls/[abc]*"
TOML

uname -srm
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'
date -u '+%Y-%m-%d %H:%M UTC'
echo "stub: $(stat -c %s "$stub") bytes"
printf '%-8s %-5s %8s %12s %12s %9s %8s\n' corpus level files input installer seconds MB
for corpus in headers dlls; do
    for level in none fast best; do
        out="$work/$corpus-$level.exe"
        /usr/bin/time -f '%e %M' -o "$work/time" "$quox" build "$work/$corpus.toml" -o "$out" \
            --stub "$stub" --compression "$level" > "$work/summary"
        read -r seconds kilobytes < "$work/time"
        files=$(sed -n 's/.* bytes, \([0-9]*\) files .*/\1/p' "$work/summary")
        input=$(sed -n 's/.* files (\([0-9]*\) bytes of file data.*/\1/p' "$work/summary")
        printf '%-8s %-5s %8s %12s %12s %9s %8s\n' "$corpus" "$level" "$files" "$input" \
            "$(stat -c %s "$out")" "$seconds" "$((kilobytes / 1024))"
        rm -f "$out"
    done
done
