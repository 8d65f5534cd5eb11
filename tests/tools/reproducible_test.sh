#!/usr/bin/env bash
# Anyone can rebuild the release byte for byte: this checkout's sources, as
# they are (uncommitted edits included), copied to a folder elsewhere and
# built there again with tools/build.sh --exe-only, give the same
# KorvaneCFG.exe as this checkout's build, on both architectures, and neither
# exe holds the folder it was built in. An architecture whose build here is
# missing or older than the sources it is made from was not made from these
# sources: it is left out, and with both left out the test is skipped (77).
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

archs=()
for arch in i686 x86_64; do
  exe=$top/build/$arch/KorvaneCFG.exe
  newer=$([ -f "$exe" ] && cd "$top" && find app ui settings framework resources cmake CMakeLists.txt \
            -newer "$exe" -print -quit)
  if [ ! -f "$exe" ] || [ -n "$newer" ]; then
    echo "$arch: left out: build/$arch/KorvaneCFG.exe is missing or older than ${newer:-its sources}"
  else
    archs+=("$arch")
  fi
done
[ ${#archs[@]} -gt 0 ] || exit 77

# A folder of another name and length; everything but the build folders and Git's own.
work=$(mktemp -d "${TMPDIR:-/tmp}/kv-rebuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/sources"
tar -C "$top" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/sources" -xf - || exit 1
if ! "$work/sources/tools/build.sh" --exe-only "${archs[@]}" >"$work/build.log" 2>&1; then
  tail -n 30 "$work/build.log"
  fail "the copy in $work/sources did not build"
  exit 1
fi

holds_path() {  # $1 = exe, $2 = folder: found as 8-bit or UTF-16 text
  { strings -a "$1"; strings -a -e l "$1"; } | grep -qF "$2"
}
for arch in "${archs[@]}"; do
  ours=$top/build/$arch/KorvaneCFG.exe
  again=$work/sources/build/$arch/KorvaneCFG.exe
  if cmp -s "$ours" "$again"; then
    echo "ok: $arch: both builds are the same $(stat -c %s "$ours") bytes, SHA-256 $(sha256sum <"$ours" | cut -d' ' -f1)"
  else
    fail "$arch: the builds differ; first differing bytes (offset, here, again; octal):"
    cmp -l "$ours" "$again" | head -n 8
  fi
  holds_path "$ours" "$top" && fail "$arch: the exe holds the path of its build folder $top"
  holds_path "$again" "$work" && fail "$arch: the exe rebuilt in $work holds that path"
done
[ $failures = 0 ]
