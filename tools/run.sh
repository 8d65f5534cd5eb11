#!/usr/bin/env bash
# Builds the configurator and starts it under Wine. With no display it runs
# inside Xvfb, waits for the window, saves a screenshot and prints its path.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh" x86_64
exe="$top/build/x86_64/KorvaneCFG.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -n "${DISPLAY:-}" ]; then
  [ -n "${WINEPREFIX:-}" ] || { "$top/tools/wine-session.sh" prepare; export WINEPREFIX=$top/build/wineprefix; }
  exec wine "$exe" "$@"
fi
eval "$("$top/tools/wine-session.sh" start)"
trap '"$top/tools/wine-session.sh" stop' EXIT
shot="$top/build/screenshot.png"
wine "$exe" "$@" &
sleep 4
# The Wine desktop around the window is one plain colour: trim it away.
import -window root "$shot.full.png"
convert "$shot.full.png" -trim +repage "$shot"
rm -f "$shot.full.png"
echo "Screenshot: $shot"
WINEPREFIX="$top/build/wineprefix" wineserver -k
