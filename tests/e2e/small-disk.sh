#!/usr/bin/env bash
# A small file system that tests can fill up: a 16 MB tmpfs, writable by
# everyone. Mounting takes root; elsewhere the folder stays an ordinary one
# and the tests that need a small disk skip themselves.
#   small-disk.sh mount <folder>     small-disk.sh unmount <folder>
set -u
action=$1 folder=$2
case $action in
  mount)
    mkdir -p "$folder"
    mountpoint -q "$folder" && umount "$folder"  # left by an interrupted run
    if [ "$(id -u)" != 0 ]; then
      echo "small-disk.sh: not root, $folder stays an ordinary folder"
      exit 0
    fi
    mount -t tmpfs -o size=16m,mode=1777 tmpfs "$folder"
    ;;
  unmount)
    if mountpoint -q "$folder"; then umount "$folder" || umount -l "$folder"; fi
    rmdir "$folder" 2>/dev/null
    exit 0
    ;;
  *)
    echo "usage: $0 mount|unmount <folder>" >&2
    exit 2
    ;;
esac
