#!/usr/bin/env bash
# Builds the configurator and starts it under Wine. With no display it runs
# inside Xvfb, waits for the window, saves a screenshot and prints its path.
#   tools/run.sh [args]           the x86_64 build, under 64-bit Wine on this system
#   tools/run.sh --i686 [args]    the i686 release, the exe we ship, under 32-bit
#                                 Wine inside the i386 root (made on first use,
#                                 about 3 minutes; needs root)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
arch=x86_64
if [ "${1:-}" = --i686 ]; then arch=i686; shift; fi
exe="$top/build/$arch/KorvaneCFG.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ $arch = i686 ]; then
  if [ -z "${KV_I386_RUN:-}" ]; then
    "$top/tools/build.sh" --exe-only i686
    "$top/tools/i386-root.sh" create
    # The root's mounts last as long as this run.
    exec "$top/tools/i386-root.sh" run "$0" --i686 "$@"
  fi
  in_arch=("$top/tools/i386-exec")
  prefix="$top/build/wineprefix-i686"
else
  "$top/tools/build.sh" --exe-only x86_64
  in_arch=()
  prefix="$top/build/wineprefix"
fi

if [ -n "${DISPLAY:-}" ]; then
  if [ $arch = i686 ]; then
    # The display's key, for Wine inside the root (X servers on this machine
    # are reached there through their abstract sockets).
    cookie=$(xauth nlist "$DISPLAY" 2>/dev/null || true)
    [ -z "$cookie" ] || echo "$cookie" | "${in_arch[@]}" xauth -f /root/.Xauthority nmerge - 2>/dev/null || true
  fi
  [ -n "${WINEPREFIX:-}" ] || { "${in_arch[@]}" "$top/tools/wine-session.sh" prepare $arch; export WINEPREFIX=$prefix; }
  "${in_arch[@]}" wine "$exe" "$@"
  exit
fi
exports=$("${in_arch[@]}" "$top/tools/wine-session.sh" start $arch)
eval "$exports"
trap '"${in_arch[@]}" "$top/tools/wine-session.sh" stop $arch' EXIT
shot="$top/build/screenshot.png"
[ $arch = i686 ] && shot="$top/build/screenshot-i686.png"
"${in_arch[@]}" wine "$exe" "$@" &
sleep 4
# The Wine desktop around the window is one plain colour: trim it away.
# (Taken from this system: the X server inside the root is reachable here.)
import -window root "$shot.full.png"
convert "$shot.full.png" -trim +repage "$shot"
rm -f "$shot.full.png"
echo "Screenshot: $shot"
"${in_arch[@]}" env WINEPREFIX="$prefix" wineserver -k
