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
    # The tests mount a small disk (as root): in a mount namespace of the
    # run's own, it is gone when the run ends, however it ends. Where no
    # namespace can be made, the tests' own clean-up unmounts it.
    if [ "$(id -u)" = 0 ] && [ -z "${KV_MOUNT_NAMESPACE:-}" ] &&
       unshare --mount --propagation private true 2>/dev/null; then
      KV_MOUNT_NAMESPACE=1 exec unshare --mount --propagation private -- "$0" x86_64 "$@"
    fi
    session=("$top/tools/wine-session.sh") ;;
  i686)
    # The root's mounts exist only for the run that made them.
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
cd "$top/build/$arch"
ctest --output-on-failure --timeout 300 -j 2 "$@"
