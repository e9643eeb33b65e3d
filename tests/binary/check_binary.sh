#!/usr/bin/env bash
# Checks the shipped program file: a 32-bit GUI PE that loads only system
# DLLs, with ASLR and DEP enabled, no link time stamp, no build paths inside,
# and the same bytes from two clean builds in two different folders.
#   check_binary.sh <Tarvolin.exe> <source folder>
set -uo pipefail
exe=$1
source_dir=$2
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

headers=$("$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe"; exit 1; }
field() { awk -v key="$1" '$1 == key { print $2; exit }' <<<"$headers"; }

grep -q 'file format pei-i386' <<<"$headers" && pass "PE for i386" || fail "not a PE for i386"
[ "$(field Magic)" = 010b ] && pass "PE32 (optional header magic 010b)" || fail "magic $(field Magic), want 010b"
[ "$(field Subsystem)" = 00000002 ] && pass "GUI subsystem" || fail "subsystem $(field Subsystem), want 2 (GUI)"

# DllCharacteristics: DYNAMIC_BASE 0x40, NX_COMPAT 0x100.
dll_characteristics=$((16#$(field DllCharacteristics)))
(( dll_characteristics & 0x40 )) && pass "DYNAMIC_BASE" || fail "DYNAMIC_BASE not set"
(( dll_characteristics & 0x100 )) && pass "NX_COMPAT" || fail "NX_COMPAT not set"
# ASLR needs the relocations kept: file characteristic 0x1 means stripped.
file_characteristics=$((16#$(awk '$1 == "Characteristics" { sub("0x", "", $2); print $2; exit }' <<<"$headers")))
(( file_characteristics & 0x1 )) && fail "relocations stripped: DYNAMIC_BASE has no effect" ||
    pass "relocations kept"

# Imports: only DLLs that every Windows system has; in particular none of
# the MinGW runtime DLLs that a dynamic link would bring.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|OLE32|WINMM|MSVCRT|ADVAPI32|COMCTL32)\.DLL$'
imports=$(awk '/DLL Name:/ { print toupper($3) }' <<<"$headers")
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
    [[ $dll =~ $allowed ]] && pass "imports $dll" || fail "imports $dll, not a system DLL"
done

# The DLL search restriction is looked up by name at start (older systems
# lack it), so the name must be in the file and GetProcAddress imported.
texts=$(strings -a "$exe")
for name in SetDefaultDllDirectories SetDllDirectoryA; do
    grep -qw "$name" <<<"$texts" && pass "names $name" || fail "$name not referenced"
done
grep -q 'GetProcAddress' <<<"$headers" && pass "imports GetProcAddress" || fail "GetProcAddress not imported"

# And the call really happens at start: a relay trace of a short run under
# Wine (when a Wine prefix and display are at hand, as in the test suite).
if [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] && command -v wine >/dev/null; then
    run=$(mktemp -d /tmp/tarvolin-relay.XXXXXX)
    cp "$exe" "$run/Tarvolin.exe"
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
        /d 'kernel32.SetDefaultDllDirectories;kernelbase.SetDefaultDllDirectories;kernel32.SetDllDirectoryA;kernelbase.SetDllDirectoryA;user32.RegisterClassExA' \
        /f >/dev/null 2>&1
    # The program runs until ended; two seconds cover its start.
    { (cd "$run" && WINEDEBUG=+relay timeout -s KILL 2 wine Tarvolin.exe >/dev/null 2>"$run/relay.log"); } 2>/dev/null
    wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
    calls=$(grep -E ':Call (KERNEL32|kernelbase|KERNELBASE|user32|USER32)\.' "$run/relay.log" |
            sed -E 's/^.*:Call [A-Za-z0-9]+\.([A-Za-z]+)\(([^)]*)\).*$/\1(\2)/' | uniq)
    first=$(head -n1 <<<"$calls")
    grep -qx 'SetDefaultDllDirectories(00000800)' <<<"$calls" &&
        pass "relay trace: SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) called" ||
        fail "relay trace shows no SetDefaultDllDirectories(0x800): $(head -c 300 <<<"$calls")"
    [ "$first" = 'SetDefaultDllDirectories(00000800)' ] &&
        pass "relay trace: it comes before the window class is registered" ||
        fail "relay trace: first traced call is '$first'"
    rm -rf "$run"
else
    echo "skip: no Wine display, relay trace of SetDefaultDllDirectories not run"
fi

# No link time stamp: the header field reads as the epoch.
timestamp=$(grep 'Time/Date' <<<"$headers")
grep -q '1970' <<<"$timestamp" && pass "no time stamp ($timestamp)" || fail "time stamp set: $timestamp"

# Two clean builds in two fresh folders of different name and length.
work=$(mktemp -d /tmp/tarvolin-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT
build_once() {
    cmake -S "$source_dir" -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" \
        -DTARVOLIN_TESTS=OFF >"$1.log" 2>&1 && cmake --build "$1" --target Tarvolin >>"$1.log" 2>&1
}
build_once "$work/first" & first=$!
build_once "$work/second-build-in-a-longer-folder-name" & second=$!
wait $first && wait $second || { cat "$work"/*.log; fail "clean build failed"; }
a=$work/first/Tarvolin.exe
b=$work/second-build-in-a-longer-folder-name/Tarvolin.exe
if cmp -s "$a" "$b"; then
    pass "two clean builds give the same bytes ($(sha256sum <"$a" | cut -c1-16))"
else
    fail "two clean builds differ: $(cmp "$a" "$b" | head -1)"
fi
cmp -s "$a" "$exe" && pass "the tested build is byte-identical to the clean ones" ||
    fail "the tested build differs from a clean build"
leaks=0
for leak in "$work" "$source_dir" "$(dirname "$exe")" /tmp/ /work/ /home/ /usr/; do
    if grep -qF "$leak" <<<"$texts$(strings -a "$b")"; then fail "build path '$leak' in the program file"; leaks=1; fi
done
[ "$leaks" -eq 0 ] && pass "no build path in the program file"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
