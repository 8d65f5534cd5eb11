#!/usr/bin/env bash
# Runs a test program through the given emulator with its output going to a
# file, then prints that file. Under Wine the desktop process is started by
# whichever program first needs the desktop and inherits its standard error,
# which it keeps open until the desktop closes; CTest, waiting for the end of
# a test's output, would wait for the desktop instead of the test.
#   run-detached.sh <emulator> <program> [args...]
set -u
out=$(mktemp "${TMPDIR:-/tmp}/kv-e2e-output.XXXXXX")
"$@" >"$out" 2>&1
code=$?
cat "$out"
rm -f "$out"
exit $code
