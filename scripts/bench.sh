#!/usr/bin/env bash
# Measures Tarvolin.exe under Wine next to floor programs of our own, all in
# one run, and writes build/bench/report.md and build/bench/delays.png.
#   scripts/bench.sh            (about 4 minutes after the build)
# Settings: BENCH_CYCLES (200), BENCH_STEADY_SECONDS (30), BENCH_IDLE_SECONDS
# (60), BENCH_STARTS (20), BENCH_SEED (random).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

cycles=${BENCH_CYCLES:-200}
steady_seconds=${BENCH_STEADY_SECONDS:-30}
idle_seconds=${BENCH_IDLE_SECONDS:-60}
starts=${BENCH_STARTS:-20}
seed=${BENCH_SEED:-$RANDOM}
build=$root/build
bin=$build/bench/bin
out=$build/bench
raw=$out/raw
rm -rf "$raw" "$out/report.md" "$out/delays.png"
mkdir -p "$raw"

source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
echo "Wine prefix: $WINEPREFIX, display $DISPLAY"
# Relay trace of the watcher's ShowWindow calls only (see the idle phase).
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'user32.ShowWindow' /f >/dev/null 2>&1

win() { winepath -w "$1"; }
probe() { wine "$bin/bench_probe.exe" "$@"; }

# The unix process of a program in this prefix (other prefixes may run the
# same program beside us). Linux keeps the first 15 characters of the name.
unix_pid() {
  local p
  for p in $(pgrep -x "${1:0:15}" || true); do
    if { tr '\0' '\n' < "/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
      return 0
    fi
  done
  return 1
}
# CPU time of all threads of a unix process in microseconds, from the
# scheduler's per-thread run time (nanoseconds; finer than utime+stime).
unix_cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%d\n", ns / 1000 }'; }
# The same per thread: "<tid> <microseconds>" lines.
unix_thread_cpu_us() {
  local task
  for task in /proc/"$1"/task/*; do
    awk -v t="$(basename "$task")" '{ printf "%s %d\n", t, $1 / 1000 }' "$task/schedstat" 2>/dev/null || true
  done
}
# utime + stime in clock ticks.
unix_cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

echo "== desktop"
wine explorer.exe /desktop=shell,1024x768 >/dev/null 2>&1 &
probe waitwindow Shell_TrayWnd 60

echo "== start-up ($starts starts each, in turns)"
probe startup "$starts" "$(win "$raw/startup.txt")" \
  Tarvolin "$(win "$build/Tarvolin.exe")" TarvolinGuiWindow \
  floor "$(win "$bin/bench_floor_window.exe")" BenchFloorWindow

echo "== resident programs"
(cd "$build" && WINEDEBUG=-all,+relay exec wine Tarvolin.exe 2>"$raw/relay.log") &
(cd "$bin" && exec wine bench_floor_window.exe) &
(cd "$bin" && exec wine bench_floor_wait.exe) &
(cd "$bin" && exec wine bench_floor_look.exe) &
probe waitwindow TarvolinGuiWindow 60
probe waitwindow BenchFloorWindow 60
sleep 1
echo "== footprint"
probe footprint "$(win "$raw/footprint.txt")" Tarvolin.exe bench_floor_window.exe bench_floor_wait.exe
for name in Tarvolin.exe bench_floor_window.exe bench_floor_wait.exe; do
  pid=$(unix_pid "$name") || { echo "no unix process for $name" >&2; exit 1; }
  awk -v n="$name" '/^(VmRSS|RssAnon|VmData):/ { print "unix_" tolower($1) " " n " " $2 * 1024 }' "/proc/$pid/status" \
    | tr -d ':' >> "$raw/footprint.txt"
done
{
  echo "exe_bytes Tarvolin.exe $(stat -c %s "$build/Tarvolin.exe")"
  echo "exe_bytes bench_floor_window.exe $(stat -c %s "$bin/bench_floor_window.exe")"
  echo "imports Tarvolin.exe $(i686-w64-mingw32-objdump -p "$build/Tarvolin.exe" | awk '/DLL Name:/ { printf "%s ", $3 }')"
  echo "dlls_beside Tarvolin.exe $(find "$build" -maxdepth 1 -iname '*.dll' | wc -l)"
} >> "$raw/footprint.txt"

echo "== hide/show delays ($cycles cycles, seed $seed)"
probe delays "$cycles" "$seed" "$(win "$raw/delays.txt")"

echo "== steady state, full-screen window present (${steady_seconds} s)"
probe idle present "$steady_seconds" "$(win "$raw/relay.log")" "$(win "$raw/idle.txt")"

echo "== steady state, no full-screen window, CPU time (${idle_seconds} s)"
tarvolin_pid=$(unix_pid Tarvolin.exe)
floor_pid=$(unix_pid bench_floor_wait.exe)
look_pid=$(unix_pid bench_floor_look.exe)
server_pid=$(unix_pid wineserver32 || unix_pid wineserver || echo "")
t0=$(unix_cpu_ticks "$tarvolin_pid"); f0=$(unix_cpu_ticks "$floor_pid")
tu0=$(unix_cpu_us "$tarvolin_pid"); fu0=$(unix_cpu_us "$floor_pid"); lu0=$(unix_cpu_us "$look_pid")
unix_thread_cpu_us "$tarvolin_pid" > "$raw/threads-before.txt"
su0=$([ -n "$server_pid" ] && unix_cpu_us "$server_pid" || echo 0)
probe idle absent "$idle_seconds" "$(win "$raw/relay.log")" "$(win "$raw/idle.txt")" Tarvolin.exe bench_floor_wait.exe
t1=$(unix_cpu_ticks "$tarvolin_pid"); f1=$(unix_cpu_ticks "$floor_pid")
tu1=$(unix_cpu_us "$tarvolin_pid"); fu1=$(unix_cpu_us "$floor_pid"); lu1=$(unix_cpu_us "$look_pid")
unix_thread_cpu_us "$tarvolin_pid" > "$raw/threads-after.txt"
su1=$([ -n "$server_pid" ] && unix_cpu_us "$server_pid" || echo 0)
hz=$(getconf CLK_TCK)
{
  echo "unix_cpu_ms Tarvolin.exe $(( (t1 - t0) * 1000 / hz ))"
  echo "unix_cpu_ms bench_floor_wait.exe $(( (f1 - f0) * 1000 / hz ))"
  echo "unix_tick_ms $(( 1000 / hz ))"
  echo "unix_sched_us Tarvolin.exe $(( tu1 - tu0 ))"
  echo "unix_sched_us bench_floor_wait.exe $(( fu1 - fu0 ))"
  echo "unix_sched_us bench_floor_look.exe $(( lu1 - lu0 ))"
  [ -n "$server_pid" ] && echo "unix_sched_us wineserver $(( su1 - su0 ))"
  # Per thread of Tarvolin, to see where its time goes; the main thread's id
  # is the process id.
  join "$raw/threads-before.txt" "$raw/threads-after.txt" \
    | awk -v pid="$tarvolin_pid" '{ printf "thread_sched_us Tarvolin.exe#%s %d\n", ($1 == pid ? "main" : $1), $3 - $2 }'
} >> "$raw/idle.txt"
echo "relay_total_showwindow_calls $(grep -c 'Call user32.ShowWindow(' "$raw/relay.log" || true)" >> "$raw/idle.txt"

echo "== report"
{
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "wine $(wine --version)"
  echo "cycles $cycles"
  echo "seed $seed"
  echo "commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
} > "$raw/run.txt"
python3 "$root/bench/report.py" "$out"
gnuplot -e "datadir='$raw'; outfile='$out/delays.png'" "$root/bench/delays.gp"
echo "Report: $out/report.md"
echo "Plot:   $out/delays.png"
cat "$out/report.md"
