#!/usr/bin/env bash
# Runs the tests of one build under Wine inside Xvfb; tools/test.sh runs it
# for both. Further arguments go to CTest (-R e2e, say).
#   tools/test-arch.sh x86_64 [ctest options]   64-bit Wine on this system
#   tools/test-arch.sh i686 [ctest options]     32-bit Wine inside the i386 root
# Ends with CTest's summary line; the exit code is CTest's. Build first
# (tools/build.sh) and, for i686, make the root (tools/i386-root.sh create).
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-}
shift || true
case $arch in
  x86_64)
    # In a namespace of the run's own, the small disk that the tests mount
    # and every process they leave behind are gone when the run ends. Where
    # none can be made, the tests' own clean-up unmounts the disk.
    [ "${KV_NAMESPACE_OF:-}" = "$0" ] || exec "$top/tools/in-namespace" --if-possible "$0" x86_64 "$@"
    session=("$top/tools/wine-session.sh") ;;
  i686)
    # The root's mounts, in a namespace of the run's own like the x86_64 run.
    [ -n "${KV_I386_RUN:-}" ] || exec "$top/tools/i386-root.sh" run "$0" i686 "$@"
    session=("$top/tools/i386-exec" "$top/tools/wine-session.sh") ;;
  *) echo "usage: $0 x86_64|i686 [ctest options]" >&2; exit 2 ;;
esac
[ -f "$top/build/$arch/CTestTestfile.cmake" ] || { echo "test-arch.sh: no build in build/$arch; run tools/build.sh" >&2; exit 1; }

trap '"${session[@]}" stop "$arch"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
exports=$("${session[@]}" start "$arch") || { echo "test-arch.sh: the $arch Wine session did not start" >&2; exit 1; }
eval "$exports"
cd "$top/build/$arch" || exit 1
ctest --output-on-failure --timeout 300 -j 2 "$@"
