#!/bin/sh
# Times `quox build` on the two benchmark corpora at each level (none is the floor: the
# builder without the encoder), and makensis (Debian's nsis package) on the same files in
# the same run, with zlib and with solid LZMA; then prints quox's figures as ratios of
# the peer's: fast against zlib, best against LZMA.
# Corpora: the Windows SDK headers of mingw-w64-common and the 32-bit Wine builtin
# modules of libwine:i386 whose names start with a, b or c.
# Usage: bench/builder/run.sh [build directory]   (default: $TMPDIR/quox-builder-bench)
# Needs the packages mingw-w64-common, libwine:i386 and nsis installed.
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
# The same files for makensis: one File line per source, as the manifests above.
nsis_script() { # corpus compressor files...
    corpus=$1 compressor=$2
    shift 2
    printf 'SetCompressor %s\nOutFile "%s"\nInstallDir "$PROGRAMFILES\\%s"\nRequestExecutionLevel user\n' \
        "$compressor" "$work/nsis.exe" "$corpus"
    printf 'Section\nSetOutPath "$INSTDIR"\n'
    for source in "$@"; do printf '%s\n' "$source"; done
    printf 'SectionEnd\n'
}
nsis_files_headers="File /r \"$headers/*\""
nsis_files_dlls="File \"$dlls/a*\"
File \"$dlls/b*\"
File \"$dlls/c*\""

uname -srm
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'
echo "processors: $(nproc)"
date -u '+%Y-%m-%d %H:%M UTC'
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "stub: $(stat -c %s "$stub") bytes"
printf '%-8s %-12s %12s %12s %9s %8s %10s\n' corpus builder input installer seconds MB "B/input B"
results=$work/results
: > "$results"
row() { # corpus builder input installer seconds kilobytes
    printf '%-8s %-12s %12s %12s %9s %8s %10s\n' "$1" "$2" "$3" "$4" "$5" "$(($6 / 1024))" \
        "$(awk -v k="$6" -v i="$3" 'BEGIN { printf "%.2f", k * 1024 / i }')"
    echo "$1 $2 $4 $5" >> "$results"
}
for corpus in headers dlls; do
    input=
    for level in none fast best; do
        out="$work/$corpus-$level.exe"
        /usr/bin/time -f '%e %M' -o "$work/time" "$quox" build "$work/$corpus.toml" -o "$out" \
            --stub "$stub" --compression "$level" > "$work/summary"
        read -r seconds kilobytes < "$work/time"
        input=$(sed -n 's/.* files of \([0-9]*\) bytes .*/\1/p' "$work/summary")
        row "$corpus" "quox $level" "$input" "$(stat -c %s "$out")" "$seconds" "$kilobytes"
        rm -f "$out"
    done
    for compressor in zlib "/SOLID lzma"; do
        eval "files=\$nsis_files_$corpus"
        nsis_script "$corpus" "$compressor" "$files" > "$work/script.nsi"
        /usr/bin/time -f '%e %M' -o "$work/time" makensis -V1 "$work/script.nsi" > /dev/null
        read -r seconds kilobytes < "$work/time"
        name="nsis ${compressor#/SOLID }"
        row "$corpus" "$name" "$input" "$(stat -c %s "$work/nsis.exe")" "$seconds" "$kilobytes"
        rm -f "$work/nsis.exe"
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "quox against makensis (below 1: quox is faster or smaller)"
printf '%-8s %-22s %6s %6s\n' corpus comparison time size
awk '
    { size[$1 " " $2 " " $3] = $4; time[$1 " " $2 " " $3] = $5 }
    END {
        split("headers dlls", corpora, " ")
        for (c = 1; c <= 2; ++c) {
            k = corpora[c]
            printf "%-8s %-22s %6.2f %6.2f\n", k, "fast / nsis zlib", time[k " quox fast"] / time[k " nsis zlib"],
                size[k " quox fast"] / size[k " nsis zlib"]
            printf "%-8s %-22s %6.2f %6.2f\n", k, "best / nsis lzma", time[k " quox best"] / time[k " nsis lzma"],
                size[k " quox best"] / size[k " nsis lzma"]
        }
    }' "$results"
