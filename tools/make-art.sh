#!/usr/bin/env bash
# Regenerates the pictures in resources/art (window icon, banner, Save glyph):
# builds picgen for x86_64 and runs it under Wine. Commit what it writes; the
# executable tests check that the committed files are picgen's output.
#   tools/make-art.sh            build folder build/picgen
#   KV_ART_BUILD=/tmp/x tools/make-art.sh
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_ART_BUILD:-$top/build/picgen}
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target picgen
# Wine reaches the Linux root as drive Z:.
"$top/tools/wine-exec" "$build/resources/generator/picgen.exe" "Z:$top/resources/art"
ls -l "$top/resources/art"
