#!/usr/bin/env bash
# Builds the configurator and starts it under Wine. With no display it runs
# inside Xvfb, waits for the window, saves a screenshot and prints its path.
#   tools/run.sh [args]           the x86_64 build, under 64-bit Wine on this system
#   tools/run.sh --i686 [args]    the i686 release, the exe we ship, under 32-bit
#                                 Wine inside the i386 root (made on first use,
#                                 about 3 minutes; needs root, and a kernel that
#                                 runs 32-bit programs)
# Its Wine prefix and X server are its own (tools/wine-session.sh ... run),
# so a test run can go on beside it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
arch=x86_64
if [ "${1:-}" = --i686 ]; then arch=i686; shift; fi
exe="$top/build/$arch/KorvaneCFG.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ $arch = i686 ]; then
  if [ -z "${KV_I386_RUN:-}" ]; then
    "$top/tools/i386-root.sh" probe ||
      { echo "run.sh: the i686 release cannot start here; tools/run.sh starts the x86_64 build" >&2; exit 1; }
    "$top/tools/build.sh" --exe-only i686
    "$top/tools/i386-root.sh" create
    # The root's mounts last as long as this run.
    exec "$top/tools/i386-root.sh" run "$0" --i686 "$@"
  fi
  in_arch=("$top/tools/i386-exec")
  prefix="$top/build/wineprefix-run-i686"
else
  "$top/tools/build.sh" --exe-only x86_64
  in_arch=()
  prefix="$top/build/wineprefix-run"
fi
session=("${in_arch[@]}" "$top/tools/wine-session.sh")

if [ -n "${DISPLAY:-}" ]; then
  if [ $arch = i686 ]; then
    # The display's key, for Wine inside the root (X servers on this machine
    # are reached there through their abstract sockets).
    cookie=$(xauth nlist "$DISPLAY" 2>/dev/null || true)
    [ -z "$cookie" ] || echo "$cookie" | "${in_arch[@]}" xauth -f /root/.Xauthority nmerge - 2>/dev/null || true
  fi
  [ -n "${WINEPREFIX:-}" ] || { "${session[@]}" prepare $arch run; export WINEPREFIX=$prefix; }
  "${in_arch[@]}" wine "$exe" "$@"
  exit
fi
exports=$("${session[@]}" start $arch run)
eval "$exports"
trap '"${session[@]}" stop $arch run' EXIT
shot="$top/build/screenshot.png"
[ $arch = i686 ] && shot="$top/build/screenshot-i686.png"
"${in_arch[@]}" wine "$exe" "$@" &
app=$!

# Whether X shows the configurator's window: one of its process's windows
# (Wine names their class after the exe) larger than Wine's 1x1 helpers,
# mapped. The X server is reachable from here, also the one inside the root.
window_shown() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk '/\("korvanecfg\.exe" / && !/ 1x1\+/ { print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}
for _ in $(seq 300); do
  window_shown && break
  kill -0 $app 2>/dev/null || { wait $app && code=0 || code=$?; echo "run.sh: the configurator ended (code $code) before its window appeared" >&2; exit 1; }
  sleep 0.1
done
window_shown || { echo "run.sh: no configurator window after 30 s" >&2; exit 1; }
# Shown is not yet painted: the screen is taken once two captures 0.1 s
# apart agree (at most 2 s).
previous=""
for _ in $(seq 20); do
  import -window root "$shot.full.png"
  current=$(identify -format '%#' "$shot.full.png")
  [ "$current" != "$previous" ] || break
  previous=$current
  sleep 0.1
done
# The Wine desktop around the window is one plain colour: trim it away.
convert "$shot.full.png" -trim +repage "$shot"
rm -f "$shot.full.png"
echo "Screenshot: $shot"
"${in_arch[@]}" env WINEPREFIX="$prefix" wineserver -k
