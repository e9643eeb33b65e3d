#!/usr/bin/env bash
# Configures and builds Tarvolin.exe and the test programs with MinGW-w64.
#   scripts/build.sh [build-folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTARVOLIN_TESTS=ON >/dev/null
fi
cmake --build "$build" -- -j"$(nproc)"
