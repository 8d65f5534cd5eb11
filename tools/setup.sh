#!/usr/bin/env bash
# Installs what building and testing need on Debian, when it is missing, and
# makes the Unix locales the tests run Wine in (tools/locales.sh).
# As root it uses apt-get and localedef; otherwise it names what is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# debootstrap makes the i386 Debian root where the i686 build's tests run
# (tools/i386-root.sh); x11-utils' xwininfo tells tools/run.sh that the
# window is up.
packages="cmake ninja-build make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686
binutils-mingw-w64-x86-64 libz-mingw-w64-dev googletest wine wine64 fonts-wine xvfb xauth imagemagick
x11-utils locales debootstrap debian-archive-keyring util-linux"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
  else
    echo "Please install these Debian packages first (as root):" >&2
    echo "  apt-get install$missing" >&2
    exit 1
  fi
fi
locales=$("$here/locales.sh" missing)
[ -z "$locales" ] && exit 0
if [ "$(id -u)" = 0 ]; then
  echo "Making the locales:" $locales
  "$here/locales.sh" make
else
  echo "Please make these locales first (as root): tools/locales.sh make" >&2
  echo "  missing:" $locales >&2
  exit 1
fi
