#!/bin/bash
# An NT system whose Windows folder holds a "Start Menu\Programs" folder,
# as a 9x system would. Removed afterwards: the prefix is shared.
set -u
: "${WINEPREFIX:?}"
menu="$WINEPREFIX/drive_c/windows/Start Menu"
case $1 in
    up) mkdir -p "$menu/Programs" ;;
    down) rm -rf "$menu" ;;
esac
exit 0
