#!/usr/bin/env bash
# Builds the release archive Tarvolin-1.0.0.zip twice, each time from a clean
# build folder, checks that both archives have the same bytes, and leaves it
# in build/release/ (or the folder given).
#   scripts/release.sh [out-folder]
# Archive layout: Tarvolin/Tarvolin.exe, Tarvolin/Grafiken/Icon.ico,
# Tarvolin/LIESMICH.txt (German, Windows-1252), Tarvolin/README.txt (English),
# texts with CR LF line ends. Every entry has the same fixed time stamp and
# permissions, entries are sorted, and zip stores no extra attributes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/release}
version=1.0.0
name=Tarvolin-$version.zip
"$root/scripts/setup.sh"

# Fixed time for every entry (2012-01-01 00:00 UTC; zip stores DOS local
# time, so TZ is fixed too).
stamp=201201010000
export TZ=UTC

build_once() {
  local n=$1 work="$out/work-$1"
  rm -rf "$work"
  mkdir -p "$work"
  cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DTARVOLIN_TESTS=OFF >/dev/null
  cmake --build "$work/build" --target Tarvolin >/dev/null
  local tree="$work/stage/Tarvolin"
  mkdir -p "$tree/Grafiken"
  cp "$work/build/Tarvolin.exe" "$tree/Tarvolin.exe"
  cp "$work/build/Grafiken/Icon.ico" "$tree/Grafiken/Icon.ico"
  iconv -f UTF-8 -t WINDOWS-1252 "$root/resources/release/LIESMICH.txt" | sed 's/$/\r/' > "$tree/LIESMICH.txt"
  sed 's/$/\r/' "$root/resources/release/README.txt" > "$tree/README.txt"
  find "$work/stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
  find "$work/stage" -exec touch -h -t "$stamp" {} +
  (cd "$work/stage" && find Tarvolin -type f | LC_ALL=C sort | zip -X -D -q -9 "$work/$name" -@)
  sha256sum "$work/$name" | cut -d' ' -f1
}

mkdir -p "$out"
first=$(build_once 1)
second=$(build_once 2)
echo "build 1: $first  $name"
echo "build 2: $second  $name"
if [ "$first" != "$second" ]; then
  echo "release: the two clean builds differ" >&2
  exit 1
fi
cp "$out/work-1/$name" "$out/$name"
rm -rf "$out/work-1" "$out/work-2"
echo "reproducible: $out/$name"
unzip -l "$out/$name"
