#!/usr/bin/env bash
# Builds the configurator for one or both architectures.
#   tools/build.sh            both: build/i686 (the release) and build/x86_64 (with tests)
#   tools/build.sh x86_64     only the 64-bit build that the tests run
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
archs=${*:-"i686 x86_64"}
jobs=$(nproc 2>/dev/null || echo 2)
for arch in $archs; do
  dir="$top/build/$arch"
  # Only the tested build needs the release exe's path, for its executable checks.
  options=(-DKV_BUILD_TESTS=OFF)
  [ "$arch" = x86_64 ] && options=(-DKV_BUILD_TESTS=ON "-DKV_I686_EXE=$top/build/i686/KorvaneCFG.exe")
  cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
done
