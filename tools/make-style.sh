#!/usr/bin/env bash
# Recompiles every visual style in resources/style from its readable source
# (*.style -> *.vsf) with the style compiler, which runs under Wine like the
# other Windows programs of the project. Commit the .vsf files it writes: the
# unit tests check that they match their sources.
#   tools/make-style.sh                      builds stylec in build/x86_64
#   KV_BUILD_DIR=/tmp/b tools/make-style.sh  uses (and configures) another build folder
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$top/build/x86_64}
"$top/tools/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target stylec -j "$(nproc 2>/dev/null || echo 2)"
# Relative paths: the compiler sees Windows paths without any translation.
cd "$top/resources/style"
for source in *.style; do
  "$top/tools/wine-exec" "$build/tools/stylec/stylec.exe" "$source" "${source%.style}.vsf"
done
