#!/bin/bash
# Drives for the Directory browser: D holds a small folder tree, F is a disk
# with exactly 614,400 bytes free (614 units), G one of 512 KB (524 units).
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" browser-drives d f=600k g=512k || exit 1
if [ "$1" = up ]; then
    d=$WINEPREFIX/../browser-drives/d
    mkdir -p "$d/Alpha" "$d/beta" "$d/Zed" "$d/(old)/inner" "$d/.hidden"
fi
