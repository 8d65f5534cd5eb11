#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine inside Xvfb.
# Ends with CTest's summary line; the exit code is CTest's.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
eval "$("$top/tools/wine-session.sh" start)"
trap '"$top/tools/wine-session.sh" stop' EXIT
cd "$top/build/x86_64"
ctest --output-on-failure --timeout 300 -j 2 "$@"
