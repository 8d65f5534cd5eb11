#!/usr/bin/env bash
# Runs end-to-end tests whose faults need file permissions. Wine ignores
# permissions for root, so as root they run as the unprivileged test user
# ($KV_TEST_USER, set up by tools/wine-session.sh) in that user's own Wine
# prefix, from copies of the test exe and the configurator in a folder of
# that user's, since the build folder may be out of its reach. The tests'
# folders lie on the small file system given, where it is mounted (as root).
#   run-unprivileged.sh <e2e_tests.exe> <KorvaneCFG.exe> <gtest filter> [small disk]
set -eu
tests=$1 exe=$2 filter=$3 small=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

# gtest passes when the filter selects nothing: that must fail here.
check_output() {  # $1 = output file
  cat "$1"
  if ! grep -Eq '^\[==========\] [1-9][0-9]* tests? from' "$1"; then
    echo "run-unprivileged.sh: no test matched '$filter'" >&2
    return 1
  fi
}

out=$(mktemp)
if [ "$(id -u)" != 0 ]; then
  trap 'rm -f "$out"' EXIT
  status=0
  "$here/../../tools/wine-exec" "$tests" --gtest_filter="$filter" >"$out" 2>&1 || status=$?
  check_output "$out"
  exit $status
fi

user=${KV_TEST_USER:-kvtest}
prefix=${KV_TEST_USER_PREFIX:-/tmp/$user-wineprefix}
if ! id "$user" >/dev/null 2>&1 || [ ! -f "$prefix/system.reg" ]; then
  echo "run-unprivileged.sh: no test user '$user' with a Wine prefix in $prefix;" \
       "start the session with tools/wine-session.sh" >&2
  exit 1
fi
stage=$(mktemp -d /tmp/kv-unprivileged.XXXXXX)
work=$stage/work small_required=
if [ -n "$small" ]; then
  if ! mountpoint -q "$small"; then
    echo "run-unprivileged.sh: $small is not the small file system the tests need" >&2
    exit 1
  fi
  work=$small/unprivileged.$$ small_required=1
fi
trap 'rm -rf "$stage" "$out" "$work"' EXIT
install -m 0755 "$tests" "$stage/e2e_tests.exe"
install -m 0755 "$exe" "$stage/KorvaneCFG.exe"
install -m 0755 "$here/../../tools/wine-exec" "$stage/wine-exec"
install -d -o "$user" "$work"
chown "$user" "$stage"
cd "$stage"
status=0
runuser -u "$user" -- env DISPLAY="${DISPLAY:-}" WINEPREFIX="$prefix" \
  KV_CONFIGURATOR_EXE="$stage/KorvaneCFG.exe" KV_E2E_ROOT="$work" ${small_required:+KV_SMALL_DISK_REQUIRED=1} \
  "$stage/wine-exec" "$stage/e2e_tests.exe" --gtest_filter="$filter" >"$out" 2>&1 || status=$?
check_output "$out"
exit $status
