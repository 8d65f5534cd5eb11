#!/usr/bin/env bash
# Installs what building and testing need on Debian, when it is missing.
# As root it uses apt-get; otherwise it names the packages to install.
set -eu
packages="cmake make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
libz-mingw-w64-dev googletest wine wine64 fonts-wine xvfb xauth imagemagick"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
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
