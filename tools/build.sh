#!/usr/bin/env bash
# Builds the configurator and its tests for one or both architectures.
#   tools/build.sh              both, side by side: build/i686 (the release) and build/x86_64
#   tools/build.sh i686         one of them
#   tools/build.sh --exe-only i686   only KorvaneCFG.exe, without the tests
# Both builds hold the same tests; each build's executable checks also look
# at the other architecture's exe, whose path it is given here.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
target=()
if [ "${1:-}" = --exe-only ]; then target=(--target KorvaneCFG); shift; fi
archs=${*:-"i686 x86_64"}
jobs=$(nproc 2>/dev/null || echo 2)
"$top/tools/setup.sh"

build_one() {  # $1 = architecture
  local dir="$top/build/$1"
  cmake -G Ninja -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=ON \
        "-DKV_I686_EXE=$top/build/i686/KorvaneCFG.exe" "-DKV_X64_EXE=$top/build/x86_64/KorvaneCFG.exe" >/dev/null
  cmake --build "$dir" -j "$jobs" "${target[@]}"
}

set -- $archs
if [ $# = 1 ]; then
  build_one "$1"
  exit
fi
# Side by side, each line marked with its architecture: the two compilers
# fill both cores while either configures or links.
mkdir -p "$top/build"
pids=()
for arch in "$@"; do
  ( set -o pipefail; build_one "$arch" 2>&1 | sed -u "s/^/[$arch] /" ) &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || { echo "tools/build.sh: the ${*:$((i + 1)):1} build failed" >&2; status=1; }
done
exit $status
