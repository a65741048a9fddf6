#!/bin/bash
# disks.sh mount|unmount DIR: two small disks under DIR for the payload
# tests, "read-only" and "small" (16 KB, less than the product's program alone).
# Mounting needs root; without it the tests that need them skip.
set -u
dir=$2
case $1 in
    mount)
        "$0" unmount "$dir"
        mkdir -p "$dir/read-only" "$dir/small"
        # 755: a tmpfs root is 1777, which Wine shows as open to every user.
        mount -t tmpfs -o size=1m,ro,mode=755 tmpfs "$dir/read-only" 2>/dev/null
        mount -t tmpfs -o size=16k,mode=755 tmpfs "$dir/small" 2>/dev/null
        exit 0
        ;;
    unmount)
        for disk in "$dir/read-only" "$dir/small"; do
            mountpoint -q "$disk" 2>/dev/null && umount "$disk"
        done
        rm -rf "$dir"
        exit 0
        ;;
esac
exit 2
