#!/usr/bin/env bash
# The Unix locales the tests start Wine in, and with them its ANSI code page:
# C and en_US.UTF-8 give 1252, ru_RU.CP1251 1251, ja_JP.UTF-8 932,
# zh_CN.UTF-8 936, ko_KR.UTF-8 949, hi_IN.UTF-8 65001 (Hindi has no ANSI
# code page). The host (tools/setup.sh) and the i386 root (tools/i386-root.sh)
# both make them from this list.
#   tools/locales.sh list       the names, one a line
#   tools/locales.sh missing    those this system lacks
#   tools/locales.sh make       makes the missing ones (as root; needs the package locales)
set -eu
names="en_US.UTF-8 ru_RU.CP1251 ja_JP.UTF-8 zh_CN.UTF-8 ko_KR.UTF-8 hi_IN.UTF-8"

# `locale -a` spells a code set in lower case without hyphens: ja_JP.utf8.
installed() {  # $1 = name
  local lang=${1%%.*} codeset=${1#*.}
  codeset=$(echo "$codeset" | tr 'A-Z' 'a-z' | tr -d -- '-')
  locale -a 2>/dev/null | grep -qx "$lang.$codeset"
}

missing() {
  for name in $names; do installed "$name" || echo "$name"; done
}

case ${1:-} in
  list) printf '%s\n' $names ;;
  missing) missing ;;
  make)
    for name in $(missing); do
      # localedef warns about some source files (ru_RU with CP1251 lacks a few
      # characters) yet writes the locale: its verdict is whether it is there now.
      localedef -i "${name%%.*}" -f "${name#*.}" "$name" >/dev/null 2>&1 || true
      installed "$name" || { echo "locales.sh: could not make the locale $name" >&2; exit 1; }
    done
    ;;
  *) echo "usage: $0 list|missing|make" >&2; exit 2 ;;
esac
