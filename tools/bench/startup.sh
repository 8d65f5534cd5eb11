#!/usr/bin/env bash
# Builds the 64-bit configurator and the start-up benchmark and runs it under
# Wine inside Xvfb: the configurator, a bare window of its size, the same
# bare window with the common controls of version 6, and the configurator's
# window from plain standard controls, started in turns, to their first
# complete paint.
#   tools/bench/startup.sh [runs] [-v]     20 runs each by default; -v prints every run
#   KV_BENCH_EXE=<exe> tools/bench/startup.sh   measures another build of the configurator
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
"$top/tools/build.sh" x86_64 >/dev/null
build="$top/build/x86_64"
# tools/run.sh's session, not the tests': a test run beside it goes on.
eval "$("$top/tools/wine-session.sh" start x86_64 run)"
trap '"$top/tools/wine-session.sh" stop x86_64 run' EXIT
bench="$build/tools/bench"
"$top/tools/wine-exec" "$bench/startup_bench.exe" "${KV_BENCH_EXE:-$build/KorvaneCFG.exe}" \
  "$bench/bare_window.exe" "$bench/bare_window_v6.exe" "$bench/plain_window.exe" "$@"
