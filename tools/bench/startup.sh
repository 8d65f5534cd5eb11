#!/usr/bin/env bash
# Builds the 64-bit configurator and the start-up benchmark and runs it under
# Wine inside Xvfb: the configurator and a bare window of its size, started
# in turns, to their first complete paint.
#   tools/bench/startup.sh [runs]          20 runs each by default
#   KV_BENCH_EXE=<exe> tools/bench/startup.sh   measures another build of the configurator
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
"$top/tools/build.sh" x86_64 >/dev/null
build="$top/build/x86_64"
eval "$("$top/tools/wine-session.sh" start)"
trap '"$top/tools/wine-session.sh" stop' EXIT
"$top/tools/wine-exec" "$build/tools/bench/startup_bench.exe" "${KV_BENCH_EXE:-$build/KorvaneCFG.exe}" \
  "$build/tools/bench/bare_window.exe" "${1:-20}"
