#!/usr/bin/env bash
# Runs Tarvolin headless in a Wine virtual desktop under Xvfb, uses it with
# the mouse (tray menu, Autostart, a full-screen window, the information box,
# a renamed copy's error box), prints what happened with the taskbar times,
# and saves screenshots into build/demo/. With --docs, small copies for the
# documentation go to docs/screenshots/ as well.
#   scripts/demo.sh [--docs] [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
docs_too=0
if [ "${1:-}" = "--docs" ]; then docs_too=1; shift; fi
build=${1:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"

source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
echo "Wine prefix: $WINEPREFIX, display $DISPLAY"

out="$build/demo"
rm -rf "$out"
python3 "$root/scripts/demo.py" "$build" "$out"

echo "Screenshots: $out"
[ "$docs_too" -eq 1 ] || exit 0

# Small pictures for the documentation: cut to what matters.
docs="$root/docs/screenshots"
mkdir -p "$docs"
small() { convert "$1" "${@:3}" -strip -define png:compression-level=9 "$docs/$2"; }
small "$out/1-tray.png" tray.png -crop 200x50+824+718 +repage -scale 200%
read -r ml mt mr mb < "$out/menu-rect.txt"
x0=$((ml - 40)); y0=$((mt - 12))
small "$out/2-menu.png" menu.png -crop "$((1024 - x0))x$((768 - y0))+$x0+$y0" +repage -scale 200%
small "$out/3-fullscreen.png" fullscreen.png -resize 320x240
# The boxes stand alone on the plain desktop: trim the desktop away.
small "$out/4-information.png" information.png -crop 1024x740+0+0 +repage -fuzz 3% -trim +repage -bordercolor '#246e96' -border 8
small "$out/5-error.png" error.png -crop 1024x740+0+0 +repage -fuzz 3% -trim +repage -bordercolor '#246e96' -border 8
echo "Documentation copies:"
ls -l "$docs"
