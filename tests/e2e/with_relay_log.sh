#!/usr/bin/env bash
# Runs a test program under Wine with its stderr in a log file that the
# program reads back: programs it starts with WINEDEBUG=+relay write their
# traced calls there. Only ShowWindow and MessageBoxA are traced.
#   with_relay_log.sh PROGRAM.exe [arguments...]
set -euo pipefail
log=$(mktemp /tmp/tarvolin-relay.XXXXXX.log)
trap 'rm -f "$log"' EXIT
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'user32.ShowWindow;user32.MessageBoxA' /f >/dev/null 2>&1
status=0
TARVOLIN_RELAY_LOG="Z:${log//\//\\}" wine "$@" 2>"$log" || status=$?
# The test's own messages, without the trace.
grep -v -E '^[0-9a-f]{4}:(Call|Ret|trace)' "$log" >&2 || true
exit $status
