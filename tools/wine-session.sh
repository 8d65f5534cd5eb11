#!/usr/bin/env bash
# Brings up (start) or tears down (stop) what Wine needs for a test run or
# for tools/run.sh: an X server, the project's Wine prefix with Wine's
# services kept running, and for tests run as root an unprivileged user with
# a prefix of its own for the cases where file permissions matter (root
# ignores them under Wine).
#   eval "$(tools/wine-session.sh start [ARCH [USE]])"   prints the variables to export
#   tools/wine-session.sh stop [ARCH [USE]]
#   tools/wine-session.sh prepare [ARCH [USE]]           only the prefix, for a desktop of one's own
# ARCH is x86_64 (the default: 64-bit Wine on this system) or i686 (32-bit
# Wine: run this inside the i386 root, through tools/i386-exec). USE is test
# (the default) or run. Each architecture and use has a prefix and an X
# server of its own, and stop ends only those: a test run and tools/run.sh
# go side by side, also those of other checkouts.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
arch=${2:-x86_64}
use=${3:-test}
case $arch in
  x86_64) name="" ;;
  i686) name="-i686" ;;
  *) echo "wine-session.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
case $use in
  test) ;;
  run) name="-run$name" ;;
  *) echo "wine-session.sh: unknown use $use" >&2; exit 2 ;;
esac
prefix="$top/build/wineprefix$name" state="$top/build/session$name"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
testuser=kvtest
# The test user's prefix lies in /tmp, within its reach. The host's /tmp is
# every checkout's: there it is named after this one, so that another
# checkout's test run leaves it alone. The i386 root's /tmp is this one's.
case $arch in
  x86_64) uprefix="/tmp/$testuser-wineprefix-$(printf %s "$top" | cksum | cut -d ' ' -f 1)" ;;
  i686) uprefix="/tmp/$testuser-wineprefix" ;;
esac

init_prefix() {  # $1 = prefix; run as the prefix's owner
  WINEPREFIX="$1" wineboot -i >/dev/null 2>&1
  # A virtual desktop: Wine draws window frames itself, windows close at once
  # instead of waiting for a window manager, and screenshots show the frame.
  WINEPREFIX="$1" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX="$1" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  WINEPREFIX="$1" wineserver -w
}

# Wine's own Tahoma and Marlett: the window's font, and the glyphs of the
# caption buttons. Copied into the prefix, where Wine always finds them;
# without them Wine draws Tahoma text in whatever font fontconfig offers.
install_fonts() {  # $1 = prefix, $2 = its owner
  local fonts="$1/drive_c/windows/Fonts"
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && [ ! -f "$fonts/$font" ] || continue
    install -D -m 0644 -o "$2" "/usr/share/wine/fonts/$font" "$fonts/$font"
  done
}

# The project's prefix, set up once.
prepare() {
  [ -f "$prefix/system.reg" ] || init_prefix "$prefix"
  install_fonts "$prefix" "$(id -un)"
}

start() {
  mkdir -p "$state"
  # A display that no X server of this machine uses: none holds its lock file
  # or its socket. /proc/net/unix lists the sockets of every root here,
  # abstract ones too, which the X servers of all roots share. Xvfb writes the
  # number once it accepts clients, and ends at once when another server got
  # the display first: the next one is tried then.
  # -ac: the unprivileged test user must reach the same X server.
  local n
  for n in $(seq 91 190); do
    [ -e "/tmp/.X$n-lock" ] && continue
    grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
    rm -f "$state/display"
    Xvfb ":$n" -displayfd 3 -screen 0 1024x768x24 -ac -nolisten tcp 3>"$state/display" >/dev/null 2>&1 &
    echo $! > "$state/xvfb.pid"
    for _ in $(seq 100); do
      [ -s "$state/display" ] || ! kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null && break
      sleep 0.1
    done
    [ -s "$state/display" ] && break
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  done
  if [ ! -s "$state/display" ]; then
    echo "wine-session.sh: Xvfb did not start" >&2
    exit 1
  fi
  local display=":$(head -n 1 "$state/display")"
  export DISPLAY=$display
  prepare
  WINEPREFIX="$prefix" wineserver -p
  WINEPREFIX="$prefix" wine cmd /c exit >/dev/null 2>&1
  echo "export DISPLAY=$display WINEPREFIX=$prefix"
  if [ "$(id -u)" = 0 ] && [ "$use" = test ]; then
    id "$testuser" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$testuser"
    if [ ! -f "$uprefix/system.reg" ]; then
      rm -rf "$uprefix"; install -d -o "$testuser" "$uprefix"
      runuser -u "$testuser" -- env DISPLAY="$display" WINEDEBUG=-all \
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES" bash -c "$(declare -f init_prefix); init_prefix $uprefix"
    fi
    install_fonts "$uprefix" "$testuser"
    runuser -u "$testuser" -- env WINEPREFIX="$uprefix" wineserver -p
    echo "export KV_TEST_USER=$testuser KV_TEST_USER_PREFIX=$uprefix"
  fi
}

stop() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  if [ "$(id -u)" = 0 ] && [ "$use" = test ] && id "$testuser" >/dev/null 2>&1; then
    runuser -u "$testuser" -- env WINEPREFIX="$uprefix" wineserver -k 2>/dev/null
  fi
  [ -f "$state/xvfb.pid" ] && kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  rm -f "$state/xvfb.pid" "$state/display"
  return 0
}

case ${1:-} in
  start|stop|prepare) "$1" ;;
  *) echo "usage: $0 start|stop|prepare [x86_64|i686 [test|run]]" >&2; exit 2 ;;
esac
