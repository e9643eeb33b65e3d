#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (unit and
# end-to-end) under Wine in a throwaway prefix with a virtual desktop in Xvfb.
#   scripts/test.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
echo "Wine prefix: $WINEPREFIX, display $DISPLAY"
cd "$root/build"
ctest --output-on-failure --timeout 300 "$@"
