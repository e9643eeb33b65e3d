#!/usr/bin/env bash
# Installs everything needed to build Tarvolin and run it under Wine on Debian 12.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

packages=(
  cmake make ninja-build
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  googletest
  g++ binutils
  wine wine32:i386 xvfb xdotool x11-utils imagemagick
  gnuplot-nox python3 zip unzip
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
else
  need_i386=0
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ] && [ "$need_i386" -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ "$need_i386" -eq 1 ]; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
