#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tarvolin.
# With a display: inside a Wine virtual desktop (1024x768) with a taskbar;
# quit it with "Beenden" from the tray icon's right-click menu.
# Without a display: runs it headless in Xvfb, shows a full-screen window to
# it, reports what the taskbar did and saves screenshots into build/run/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export TARVOLIN_WINE_DIR=${TARVOLIN_WINE_DIR:-$HOME/.local/share/tarvolin-wine}
  export TARVOLIN_DISPLAY=$DISPLAY
  source "$root/scripts/wine-env.sh"
  wine_env_make_prefix
  cd "$root/build"
  exec wine explorer /desktop=shell,1024x768 Tarvolin.exe
fi

exec "$root/scripts/demo.sh"
