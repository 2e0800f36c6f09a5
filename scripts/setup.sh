#!/usr/bin/env bash
# Installs everything quox needs on Debian 12, idempotently: a second run changes nothing
# and costs a second or two. Needs root (or sudo).
#
# Some machines of this kind run a kernel with 32-bit emulation switched off: every i386
# program (32-bit Wine, /lib/ld-linux.so.2) fails there with "Exec format error". On such
# a machine this script brings in a user-mode emulator: the static qemu-i386 of Debian
# 13's qemu-user package (Debian 12's qemu-user-static is far too slow for Wine), fetched
# with apt through a private state directory from the Debian mirror this machine already
# uses, and registers it with binfmt_misc for i386 programs. A machine that runs i386
# programs itself is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  g++-mingw-w64-i686 mingw-w64-common
  wine wine32:i386 libwine:i386
  xvfb xdotool
  googletest libgtest-dev
  clang libclang-rt-14-dev
  libtomlplusplus-dev
  zlib1g-dev liblz4-dev
  nsis
  python3
)

# Where the emulator and its private apt state live.
emulator_dir=/usr/local/lib/quox
emulator=$emulator_dir/qemu-i386
apt_state=/var/lib/quox-emulator-apt
binfmt=/proc/sys/fs/binfmt_misc
binfmt_name=quox-i386

sudo=""
if [ "$(id -u)" != 0 ]; then
  sudo="sudo"
fi

install_packages() {
  local missing=() package status
  for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# True when an i386 program runs here, natively or through a registered emulator.
runs_i386() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The Debian mirror this machine's apt already uses for bookworm.
debian_mirror() {
  apt-get indextargets --format '$(REPO_URI)' 'Codename: bookworm' 'Origin: Debian' 'Identifier: Packages' \
    2>/dev/null | sort -u | head -n 1
}

fetch_emulator() {
  [ -x "$emulator" ] && return 0
  local mirror
  mirror=$(debian_mirror)
  if [ -z "$mirror" ]; then
    $sudo apt-get update -qq
    mirror=$(debian_mirror)
  fi
  if [ -z "$mirror" ]; then
    echo "setup: no Debian bookworm mirror is configured for apt; cannot fetch the i386 emulator" >&2
    return 1
  fi

  echo "setup: this kernel does not run i386 programs; fetching qemu-i386 (Debian 13 qemu-user) from $mirror"
  $sudo mkdir -p "$apt_state/lists/partial" "$apt_state/archives/partial" "$apt_state/download"
  # Debian 12's keyring already holds the trixie signing keys, so the index is verified.
  echo "deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" |
    $sudo tee "$apt_state/sources.list" >/dev/null
  local options=(
    -o "Dir::State=$apt_state" -o "Dir::State::Lists=$apt_state/lists" -o "Dir::State::status=/dev/null"
    -o "Dir::Cache=$apt_state" -o "Dir::Cache::archives=$apt_state/archives"
    -o "Dir::Etc::SourceList=$apt_state/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
    -o "APT::Architecture=amd64" -o "APT::Architectures=amd64" -o "Acquire::Languages=none"
    -o "APT::Sandbox::User=root"
  )
  $sudo apt-get "${options[@]}" -qq update
  (cd "$apt_state/download" && $sudo apt-get "${options[@]}" -qq download qemu-user)
  local deb
  deb=$(ls "$apt_state"/download/qemu-user_*.deb | head -n 1)
  $sudo mkdir -p "$emulator_dir"
  dpkg-deb --fsys-tarfile "$deb" | $sudo tar -x -C "$emulator_dir" --strip-components=3 ./usr/bin/qemu-i386
  $sudo chmod 755 "$emulator"
  # Only the one program is kept: the package is 71 MB, qemu-i386 14 MB.
  $sudo rm -rf "$apt_state/download" "$apt_state/archives"
  "$emulator" --version | head -n 1
}

register_emulator() {
  if ! mountpoint -q "$binfmt"; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ -e "$binfmt/$binfmt_name" ]; then
    # Registered earlier (by this script); make sure it is switched on.
    echo 1 | $sudo tee "$binfmt/$binfmt_name" >/dev/null
    return 0
  fi
  # i386 ELF executables and shared objects; flag F opens the emulator now, so it is
  # found inside any mount namespace or chroot later.
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":$binfmt_name:M::$magic:$mask:$emulator:F" | $sudo tee "$binfmt/register" >/dev/null
}

install_packages

if ! runs_i386; then
  if [ ! -e /lib/ld-linux.so.2 ]; then
    echo "setup: /lib/ld-linux.so.2 is missing although the i386 packages are installed" >&2
    exit 1
  fi
  if ! fetch_emulator; then
    echo "setup: failed: this machine cannot run i386 programs and the emulator could not be fetched" >&2
    exit 1
  fi
  if ! register_emulator; then
    echo "setup: failed: could not register $emulator for i386 programs with binfmt_misc ($binfmt)" >&2
    exit 1
  fi
  if ! runs_i386; then
    echo "setup: failed: i386 programs still do not run: /lib/ld-linux.so.2 --version fails although" >&2
    echo "setup: $emulator is registered as $binfmt/$binfmt_name" >&2
    exit 1
  fi
  echo "setup: i386 programs run through $emulator"
fi
