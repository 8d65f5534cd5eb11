#!/usr/bin/env bash
# The i386 Debian root in which the i686 build runs under 32-bit Wine. It is
# kept in build/i386-root (about 1.2 GB) and made once: debootstrap from the
# Debian mirror this machine's apt sources name, then Wine, Xvfb, fonts and
# the test locales inside it. 32-bit Wine never goes beside the host's 64-bit
# Wine: the root has its own packages, all i386.
#   tools/i386-root.sh probe         whether this machine's kernel runs 32-bit
#                                    programs: exit code 0, or 3 and why not
#   tools/i386-root.sh create        makes the root, or checks the one there
#   tools/i386-root.sh run CMD...    runs CMD here with the root's mounts in place
#   tools/i386-root.sh shell         a shell inside the root, mounts in place
# `run` mounts /proc, /dev, /sys and the repository (at its own path) into the
# root. create, run and shell work in a mount and PID namespace of their own
# (tools/in-namespace): no other process sees those mounts, and the mounts and
# every process of the run end with it, however it ends. They need root.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
# KV_I386_ROOT puts it elsewhere.
root=${KV_I386_ROOT:-$top/build/i386-root}
suite=bookworm
packages="wine fonts-wine xvfb xauth locales"
# Exit code when this machine's kernel cannot run 32-bit programs.
no_ia32=3

fail() { echo "i386-root.sh: $*" >&2; exit 1; }

refused() {  # $1 = what said so
  echo "i386-root.sh: this machine's kernel refuses 32-bit programs ($1: Exec format error);" \
       "the i686 build cannot run here" >&2
  exit $no_ia32
}

# Finds out before anything is downloaded: a 93-byte 32-bit x86 program (ELF
# header, one program header, then xor ebx,ebx; mov eax,1; int 0x80, that is
# exit(0)), written into the build folder, where programs must run anyway.
probe() {
  local file out status=0
  mkdir -p "$top/build"
  file=$(mktemp "$top/build/ia32-probe.XXXXXX")
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$file"
  chmod +x "$file"
  out=$("$file" 2>&1) || status=$?
  rm -f "$file"
  [ $status != 0 ] || return 0
  echo "$out" | grep -qi "exec format error" && refused "a 32-bit test program"
  fail "cannot tell whether this machine runs 32-bit programs: a 32-bit test program ended with code $status${out:+: $out}"
}

need_root() {
  [ "$(id -u)" = 0 ] || fail "the i386 root takes chroot and mounts: run as root"
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

# Whether the root's programs start here; says so plainly if not.
check_exec() {
  local out
  if ! out=$(chroot "$root" /bin/true 2>&1); then
    echo "$out" | grep -qi "exec format error" && refused "chroot $root /bin/true"
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

# Makes the root, or brings it up to date. One at a time: a second run waits
# for the first and then finds the root ready.
create() {
  command -v debootstrap >/dev/null || fail "debootstrap is missing (tools/setup.sh installs it)"
  mkdir -p "$(dirname "$root")"
  exec 9>"$root.lock"
  flock 9
  if [ -f "$root/.kv-ready" ] && [ "$(cat "$root/.kv-ready")" = "$(wanted)" ]; then
    check_exec
    return 0
  fi
  if [ ! -f "$root/.kv-base" ]; then
    remove_root
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

run() {
  [ -f "$root/.kv-ready" ] || fail "no i386 root in $root yet: make it with tools/i386-root.sh create"
  check_exec
  mount_system
  mkdir -p "$root$top"
  mount --bind "$top" "$root$top"
  # For the commands of this run: where the root is, and that it is mounted.
  export KV_I386_ROOT=$root KV_I386_RUN=1
  "$@"
}

case ${1:-} in
  probe) probe; exit 0 ;;
  create|run|shell) ;;
  *) echo "usage: $0 probe | create | run CMD... | shell" >&2; exit 2 ;;
esac
if [ "${KV_NAMESPACE_OF:-}" != "$0" ]; then
  probe
  need_root
  exec "$top/tools/in-namespace" "$0" "$@"
fi
# The namespace's first process gets only the signals it has handlers for.
trap 'exit 130' INT
trap 'exit 143' TERM
case $1 in
  create) create ;;
  run) shift; [ $# -gt 0 ] || fail "usage: $0 run CMD..."; run "$@" ;;
  shell) run "$top/tools/i386-exec" bash ;;
esac
