#!/usr/bin/env bash
# The i386 Debian root in which the i686 build runs under 32-bit Wine. It is
# kept in build/i386-root (about 1.2 GB) and made once: debootstrap from the
# Debian mirror this machine's apt sources name, then Wine, Xvfb, fonts and
# the test locales inside it. 32-bit Wine never goes beside the host's 64-bit
# Wine: the root has its own packages, all i386.
#   tools/i386-root.sh create        makes the root, or checks the one there
#   tools/i386-root.sh run CMD...    runs CMD here with the root's mounts in place
#   tools/i386-root.sh shell         a shell inside the root, mounts in place
# `run` mounts /proc, /dev, /sys and the repository (at its own path) into the root,
# in a mount namespace of its own: no other process sees those mounts, and
# they vanish with the last process of the run however it ends. They are
# also unmounted when CMD ends, and every process still inside the root is
# stopped first. Everything here needs root.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
# KV_I386_ROOT puts it elsewhere.
root=${KV_I386_ROOT:-$top/build/i386-root}
suite=bookworm
packages="wine fonts-wine xvfb xauth locales"
# Exit code when this machine's kernel cannot run 32-bit programs.
no_ia32=3

fail() { echo "i386-root.sh: $*" >&2; exit 1; }

need_root() {
  [ "$(id -u)" = 0 ] || fail "the i386 root takes chroot and mounts: run as root"
  local why
  why=$(unshare --mount --propagation private true 2>&1) ||
    fail "cannot make a mount namespace here for the root's mounts (unshare: $why)"
}

# The Debian mirror of this machine's own apt sources for $suite (deb822
# first, then the one-line format), else Debian's redirector.
mirror() {
  local found=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    found=$(awk -v suite="$suite" 'BEGIN { RS = "" }
      { types = suites = uris = ""
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^Types:/) types = lines[i]
          if (lines[i] ~ /^Suites:/) suites = lines[i]
          if (lines[i] ~ /^URIs:/) uris = lines[i]
        }
        if (types " " ~ /[ \t]deb[ \t]/ && suites " " ~ ("[ \t]" suite "[ \t]")) {
          split(uris, u, /[ \t]+/); print u[2]; exit
        } }' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$found" ] && [ -f /etc/apt/sources.list ]; then
    found=$(awk -v suite="$suite" '$1 == "deb" { i = 2; if ($i ~ /^\[/) while ($i !~ /\]$/) i++
      if ($i ~ /^\[/ || $i ~ /\]$/) i++; if ($(i + 1) == suite) { print $i; exit } }' /etc/apt/sources.list)
  fi
  case $found in
    http://*|https://*) echo "$found" ;;
    *) echo "http://deb.debian.org/debian" ;;
  esac
}

# Whether this kernel runs the root's 32-bit programs; says so plainly if not.
check_exec() {
  local out
  if ! out=$(chroot "$root" /bin/true 2>&1); then
    if echo "$out" | grep -qi "exec format error"; then
      echo "i386-root.sh: this machine's kernel refuses 32-bit programs" \
           "(chroot $root /bin/true: Exec format error); the i686 build cannot run here" >&2
      exit $no_ia32
    fi
    fail "cannot start a program in $root: $out"
  fi
}

# Mounts below the root in this mount namespace, deepest first.
mounts_below_root() {
  findmnt -rn -o TARGET | awk -v r="$root" '$0 == r || index($0, r "/") == 1' | sort -r
}

# Removes an unfinished root. Never while anything is mounted below it: rm
# would go through a bind mount into the repository or the host's /dev.
remove_root() {
  [ -e "$root" ] || return 0
  [ -z "$(mounts_below_root)" ] || fail "will not remove $root: mounts below it: $(mounts_below_root | tr '\n' ' ')"
  rm -rf --one-file-system "$root"
}

# Undoes this run's mounts, after stopping every process still inside the
# root (they were all started by this run: the root is ours).
unmount_all() {
  local pids="" pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && pids="$pids $pid"
  done
  if [ -n "$pids" ]; then
    kill $pids 2>/dev/null || true
    for _ in $(seq 20); do
      local alive=""
      for pid in $pids; do [ -e "/proc/$pid" ] && alive="$alive $pid"; done
      [ -z "$alive" ] && break
      sleep 0.1
    done
    [ -z "$alive" ] || kill -9 $alive 2>/dev/null || true
  fi
  local target
  for target in $(mounts_below_root); do
    mountpoint -q "$target" && { umount -R "$target" 2>/dev/null || umount -R -l "$target" 2>/dev/null || true; }
  done
  [ -z "$(mounts_below_root)" ] || echo "i386-root.sh: still mounted: $(mounts_below_root | tr '\n' ' ')" >&2
}

# The system's file systems (Wine reads the processors from /sys), and the
# host's name and name servers.
mount_system() {
  mount -t proc proc "$root/proc"
  local fs
  for fs in dev sys; do
    mount --rbind "/$fs" "$root/$fs"
    mount --make-rslave "$root/$fs"
  done
  cp /etc/resolv.conf /etc/hosts "$root/etc/" 2>/dev/null || true
}

in_root() {  # a command inside the root, in a plain environment
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# What the finished root holds; a change of the lists brings the root up to date.
wanted() { echo "$packages; locales: $("$top/tools/locales.sh" list | tr '\n' ' ')"; }

create_inside() {  # in a mount namespace of its own
  trap unmount_all EXIT
  if [ ! -f "$root/.kv-base" ]; then
    remove_root
    mkdir -p "$(dirname "$root")"
    local from
    from=$(mirror)
    echo "i386-root.sh: debootstrap $suite (i386, minbase) from $from into $root"
    # First the files only, then a check that they run here, then the rest.
    debootstrap --foreign --arch=i386 --variant=minbase "$suite" "$root" "$from"
    check_exec
    chroot "$root" /debootstrap/debootstrap --second-stage
    touch "$root/.kv-base"
  fi
  check_exec
  mount_system
  echo "i386-root.sh: installing $packages"
  in_root apt-get update -qq
  in_root apt-get install -y -qq --no-install-recommends $packages >/dev/null
  in_root apt-get clean
  in_root bash -s make <"$top/tools/locales.sh"
  wanted >"$root/.kv-ready"
  echo "i386-root.sh: the root is ready"
}

create() {
  need_root
  command -v debootstrap >/dev/null || fail "debootstrap is missing (tools/setup.sh installs it)"
  if [ -f "$root/.kv-ready" ] && [ "$(cat "$root/.kv-ready")" = "$(wanted)" ]; then
    check_exec
    return 0
  fi
  unshare --mount --propagation private -- "$0" _create
}

run_inside() {  # in a mount namespace of its own
  trap unmount_all EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  mount_system
  mkdir -p "$root$top"
  mount --bind "$top" "$root$top"
  # For the commands of this run: where the root is, and that it is mounted.
  export KV_I386_ROOT=$root KV_I386_RUN=1
  "$@"
}

run() {
  need_root
  [ -f "$root/.kv-ready" ] || fail "no i386 root in $root yet: make it with tools/i386-root.sh create"
  check_exec
  [ $# -gt 0 ] || fail "usage: $0 run CMD..."
  exec unshare --mount --propagation private -- "$0" _run "$@"
}

case ${1:-} in
  create) create ;;
  run) shift; run "$@" ;;
  shell) run "$top/tools/i386-exec" bash ;;
  _create) create_inside ;;
  _run) shift; run_inside "$@" ;;
  *) echo "usage: $0 create | run CMD... | shell" >&2; exit 2 ;;
esac
