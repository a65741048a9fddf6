#!/bin/bash
# Drives for the Destination page: A and D are folders, E is a tmpfs of
# 512 KB, too small for the product. Wine reads its drive links only when
# its server starts, so this runs while none runs.
set -u
: "${WINEPREFIX:?}"
scratch=$WINEPREFIX/../destination-drives
devices=$WINEPREFIX/dosdevices

down() {
    rm -f "$devices/a:" "$devices/d:" "$devices/e:"
    mountpoint -q "$scratch/e" && umount "$scratch/e"
    rm -rf "$scratch"
}

case $1 in
    up)
        down
        mkdir -p "$scratch/a" "$scratch/d" "$scratch/e"
        ln -s "$scratch/a" "$devices/a:"
        ln -s "$scratch/d" "$devices/d:"
        # Mounting needs root; without it the low-space test skips itself.
        mount -t tmpfs -o size=512k tmpfs "$scratch/e" 2>/dev/null && ln -s "$scratch/e" "$devices/e:"
        exit 0
        ;;
    down) down ;;
esac
