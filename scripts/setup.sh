#!/usr/bin/env bash
# Installs everything quox needs on Debian 12, idempotently: a second run changes nothing
# and costs a second. Needs root (or sudo).
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

sudo=""
if [ "$(id -u)" != 0 ]; then
  sudo="sudo"
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
