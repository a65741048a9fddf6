#!/bin/bash
# Drives for the Directory browser: D holds a small folder tree, F is a disk
# with exactly 614,400 bytes free (614 units), G one of 512 KB (524 units).
set -u
: "${WINEPREFIX:?}"
scratch=$WINEPREFIX/../browser-drives
devices=$WINEPREFIX/dosdevices

down() {
    rm -f "$devices/d:" "$devices/f:" "$devices/g:"
    for disk in "$scratch/f" "$scratch/g"; do
        mountpoint -q "$disk" 2>/dev/null && umount "$disk"
    done
    rm -rf "$scratch"
}

case $1 in
    up)
        down
        mkdir -p "$scratch/d/Alpha" "$scratch/d/beta" "$scratch/d/Zed" "$scratch/d/(old)/inner" \
            "$scratch/d/.hidden" "$scratch/f" "$scratch/g"
        ln -s "$scratch/d" "$devices/d:"
        # Mounting needs root; without it the tests of small disks skip.
        mount -t tmpfs -o size=600k tmpfs "$scratch/f" 2>/dev/null && ln -s "$scratch/f" "$devices/f:"
        mount -t tmpfs -o size=512k tmpfs "$scratch/g" 2>/dev/null && ln -s "$scratch/g" "$devices/g:"
        exit 0
        ;;
    down) down ;;
esac
