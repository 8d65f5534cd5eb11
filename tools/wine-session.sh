#!/usr/bin/env bash
# Brings up (start) or tears down (stop) what the tests need around Wine:
# an X server, the project's Wine prefix with Wine's services kept running,
# and, when run as root, an unprivileged user with a prefix of its own for
# the cases where file permissions matter (root ignores them under Wine).
#   eval "$(tools/wine-session.sh start)"   prints the variables to export
#   tools/wine-session.sh stop
#   tools/wine-session.sh prepare             only the project's prefix, for a desktop of one's own
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
state="$top/build/session"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
testuser=kvtest

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
  local prefix="$top/build/wineprefix"
  [ -f "$prefix/system.reg" ] || init_prefix "$prefix"
  install_fonts "$prefix" "$(id -un)"
}

start() {
  mkdir -p "$state"
  local display=""
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    display=":$n"; break
  done
  # -ac: the unprivileged test user must reach the same X server.
  Xvfb "$display" -screen 0 1024x768x24 -ac -nolisten tcp >/dev/null 2>&1 &
  echo $! > "$state/xvfb.pid"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  export DISPLAY=$display
  local prefix="$top/build/wineprefix"
  prepare
  WINEPREFIX="$prefix" wineserver -p
  WINEPREFIX="$prefix" wine cmd /c exit >/dev/null 2>&1
  echo "export DISPLAY=$display WINEPREFIX=$prefix"
  if [ "$(id -u)" = 0 ]; then
    id "$testuser" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$testuser"
    local uprefix="/tmp/$testuser-wineprefix"
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
  WINEPREFIX="$top/build/wineprefix" wineserver -k 2>/dev/null
  if [ "$(id -u)" = 0 ] && id "$testuser" >/dev/null 2>&1; then
    runuser -u "$testuser" -- env WINEPREFIX="/tmp/$testuser-wineprefix" wineserver -k 2>/dev/null
  fi
  [ -f "$state/xvfb.pid" ] && kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  rm -f "$state/xvfb.pid"
  return 0
}

"$@"
