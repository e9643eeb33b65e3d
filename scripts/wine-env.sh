#!/usr/bin/env bash
# Sourced by the run, test, bench and demo scripts: gives this shell a private
# Xvfb display and a private 32-bit Wine prefix whose desktop is a 1024x768
# virtual desktop with a taskbar ("shell").
#
#   TARVOLIN_WINE_DIR   folder for prefix and logs (default: a new temp folder)
#   TARVOLIN_DISPLAY    reuse an existing X display instead of starting Xvfb
#
# Call wine_env_stop when done (the scripts trap it on EXIT).

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

TARVOLIN_WINE_DIR=${TARVOLIN_WINE_DIR:-$(mktemp -d /tmp/tarvolin-wine.XXXXXX)}
mkdir -p "$TARVOLIN_WINE_DIR"
export TARVOLIN_WINE_DIR
export WINEPREFIX="$TARVOLIN_WINE_DIR/prefix"

_wine_env_xvfb_pid=""

wine_env_start_display() {
  if [ -n "${TARVOLIN_DISPLAY:-}" ]; then
    export DISPLAY="$TARVOLIN_DISPLAY"
    return
  fi
  # -displayfd lets Xvfb pick a free display number itself.
  local fdfile="$TARVOLIN_WINE_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>"$TARVOLIN_WINE_DIR/xvfb.log" &
  _wine_env_xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
}

wine_env_make_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
  fi
  # Keeps the server up between test programs. When the server wineboot
  # started is still running, -p fails (exit 2); that server serves as well.
  wineserver -p >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$_wine_env_xvfb_pid" ]; then
    kill "$_wine_env_xvfb_pid" 2>/dev/null || true
    wait "$_wine_env_xvfb_pid" 2>/dev/null || true
  fi
}

# Opens the virtual desktop (explorer with its taskbar) and waits until its
# X window exists, so the first program started finds a taskbar.
wine_env_start_desktop() {
  wine explorer /desktop=shell,1024x768 >/dev/null 2>&1 &
  local i
  for i in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -q 'Wine desktop' && return 0
    sleep 0.1
  done
  echo "wine-env: the virtual desktop did not appear" >&2
  return 1
}

wine_env_start() {
  wine_env_start_display
  wine_env_make_prefix
  wine_env_start_desktop
}
