#!/usr/bin/env bash
# Builds both architectures with their tests and runs every test of each:
# x86_64 under 64-bit Wine on this system, and i686, the release, under
# 32-bit Wine inside an i386 Debian root (build/i386-root, made on first use
# while the builds run). The two test runs go side by side, each line marked
# with its architecture; their full output is in build/logs.
#   tools/test.sh [--skip-i686] [ctest options]
# The output ends with CTest's summary line of each architecture, each after
# a line naming it. The exit code fails when either fails, and when the i686
# tests could not run on a machine that runs 32-bit programs. Where the
# kernel refuses them (found out first, without a download) only the x86_64
# tests run, the i686 exe's checks as a file among them, and one line says
# why the i686 tests did not; --skip-i686 leaves them out anywhere.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
# i686 is "run", "skip" (asked for) or "refused" (by this machine's kernel).
i686=run
if [ "${1:-}" = --skip-i686 ]; then i686=skip; shift; fi
logs="$top/build/logs"
began=$(date +%s)
seconds() { echo $(( $(date +%s) - $1 )); }

# Ctrl-C reaches every process of the run; each leg cleans up after itself
# (Wine, Xvfb, the root's mounts). Wait for them before leaving.
interrupted=no
trap 'interrupted=yes' INT TERM
wait_for() {  # $1 = pid; returns its exit status, also across an interruption
  local status
  while :; do
    wait "$1"; status=$?
    kill -0 "$1" 2>/dev/null || return $status
  done
}
finish_interrupted() {
  [ $interrupted = yes ] || return 0
  wait
  echo "tools/test.sh: interrupted" >&2
  exit 130
}

if [ $i686 = run ]; then
  refusal=$("$top/tools/i386-root.sh" probe 2>&1)
  [ $? != 3 ] || { i686=refused; echo "tools/test.sh: ${refusal#i386-root.sh: }: only the x86_64 tests run"; }
fi

"$top/tools/setup.sh" || exit 1
mkdir -p "$logs"
rm -f "$logs"/*.rc "$logs"/i386-root.*

# The root needs the network and the disk more than the processor: it is
# made while the compilers run.
if [ $i686 = run ]; then
  ( began_root=$(date +%s)
    "$top/tools/i386-root.sh" create >"$logs/i386-root.log" 2>&1
    echo $? >"$logs/i386-root.rc"
    seconds "$began_root" >"$logs/i386-root.seconds" ) &
  root_pid=$!
fi

"$top/tools/build.sh"
build_status=$?
build_seconds=$(seconds "$began")
finish_interrupted
if [ $build_status != 0 ]; then
  [ $i686 != run ] || wait_for "$root_pid"
  echo "tools/test.sh: the build failed" >&2
  exit 1
fi

leg() {  # $1 = architecture, then CTest's options
  local arch=$1 start
  start=$(date +%s)
  shift
  ( "$top/tools/test-arch.sh" "$arch" "$@" 2>&1; echo $? >"$logs/test-$arch.rc" ) |
    tee "$logs/test-$arch.log" | sed -u "s/^/[$arch] /"
  seconds "$start" >"$logs/test-$arch.seconds"
}

leg x86_64 "$@" &
x64_pid=$!
if [ $i686 = run ]; then
  wait_for "$root_pid"
  finish_interrupted
  if [ "$(cat "$logs/i386-root.rc" 2>/dev/null)" = 0 ]; then
    leg i686 "$@" &
    i686_pid=$!
    wait_for "$i686_pid"
  fi
fi
wait_for "$x64_pid"
finish_interrupted

# The end of the output: per architecture the failed tests, if any, then a
# line naming it and CTest's summary line.
summary() {  # $1 = architecture, $2 = the line naming it
  local log="$logs/test-$1.log" code line
  code=$(cat "$logs/test-$1.rc" 2>/dev/null || echo 1)
  sed -n '/^The following tests FAILED:/,/^[^\t]/p' "$log" | grep -P '^\t' | sed "s/^/[$1] /"
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  echo "$2 ($(cat "$logs/test-$1.seconds") s):"
  if [ -n "$line" ]; then echo "$line"; else echo "no CTest summary: CTest ended with code $code"; code=1; fi
  return "$code"
}
status=0
echo
echo "Built both architectures in $build_seconds s; all output in build/logs."
if [ $i686 = run ]; then
  echo "The i386 root took $(cat "$logs/i386-root.seconds") s (a reused root takes about a second)."
fi
summary x86_64 "x86_64, 64-bit Wine on this system, build/x86_64" || status=1
if [ $i686 = skip ]; then
  echo "i686: not tested (--skip-i686)"
elif [ $i686 = refused ]; then
  echo "i686: not tested: ${refusal#i386-root.sh: }; its exe's checks as a file are among the x86_64 tests"
elif [ "$(cat "$logs/i386-root.rc")" != 0 ]; then
  echo "i686, 32-bit Wine in the i386 root: not tested, the root could not be used:"
  # Its own verdict where it gave one (Exec format error, say), else the end
  # of what failed.
  reason=$(grep -E '^i386-root.sh: ' "$logs/i386-root.log" | grep -v ': debootstrap \|: installing ' | tail -n 3)
  [ -n "$reason" ] || reason=$(tail -n 5 "$logs/i386-root.log")
  echo "$reason"
  echo "(the whole account: build/logs/i386-root.log)"
  status=1
else
  summary i686 "i686, 32-bit Wine in the i386 root build/i386-root, build/i686" || status=1
fi
exit $status
