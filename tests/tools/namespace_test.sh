#!/usr/bin/env bash
# The run scripts' own machinery: tools/in-namespace ends what a run leaves
# behind and nothing else, keeps its mounts to itself and passes on exit
# codes and TERM; the 32-bit probe answers yes or a plain no. Namespaces
# take root: elsewhere those checks are skipped (code 77).
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
ns="$top/tools/in-namespace"
failures=0
check() {  # $1 = what, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# Sleeps told apart by their lengths, which hold this test's process number.
gone() { ! pgrep -f "^sleep $1\$" >/dev/null; }

code=0
out=$("$top/tools/i386-root.sh" probe 2>&1) || code=$?
check "the probe says yes, or no because of Exec format error" \
  bash -c '[ "$1" = 0 ] || { [ "$1" = 3 ] && grep -q "Exec format error" <<<"$2"; }' _ "$code" "$out"

"$ns" true 2>/dev/null || { echo "no namespace here (not root?): skipped"; exit 77; }

# A stand-in for another run's process, beside a run that leaves one behind.
sleep 21.$$ &
other=$!
"$ns" bash -c "sleep 20.$$ & exit 0"
check "the run's leftover process has ended" gone 20.$$
check "the other run's process lives on" kill -0 $other
kill $other

"$ns" bash -c 'exit 7'; code=$?
check "the command's exit code comes through" test $code = 7
"$ns" bash -c "trap 'exit 143' TERM; sleep 5.$$ & wait" &
run=$!
sleep 0.5
kill -TERM $run
wait $run; code=$?
check "TERM reaches the command" test $code = 143
check "and its processes end with it" gone 5.$$

dir=$(mktemp -d)
"$ns" bash -c 'mount -t tmpfs none "$1" && touch "$1/inside" "$1.mounted" && sleep 2' _ "$dir" &
run=$!
for _ in $(seq 50); do [ -e "$dir.mounted" ] && break; sleep 0.1; done
check "the run mounts a file system" test -e "$dir.mounted"
check "which nothing outside sees" test ! -e "$dir/inside"
wait $run
check "nor after the run" bash -c '! mountpoint -q "$1" && [ ! -e "$1/inside" ]' _ "$dir"
rm -f "$dir.mounted"
rmdir "$dir"
[ $failures = 0 ]
