#!/usr/bin/env bash
# Builds the configurator and starts it under Wine. With no display it runs
# inside Xvfb, waits for the window, saves a screenshot and prints its path.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh" x86_64
exe="$top/build/x86_64/KorvaneCFG.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
  exec wine "$exe" "$@"
fi
eval "$("$top/tools/wine-session.sh" start)"
trap '"$top/tools/wine-session.sh" stop' EXIT
shot="$top/build/screenshot.png"
wine "$exe" "$@" &
for _ in $(seq 40); do
  sleep 0.5
  xwininfo -root -tree 2>/dev/null | grep -q "Korvane" && break
done
sleep 1.5
import -window root -crop 420x420+302+174 "$shot" 2>/dev/null || import -window root "$shot"
echo "Screenshot: $shot"
WINEPREFIX="$top/build/wineprefix" wineserver -k
