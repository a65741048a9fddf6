#!/bin/bash
# A system of the 9x family keeps its Start menu in the Windows folder.
set -u
: "${WINEPREFIX:?}"
case $1 in
    up) mkdir -p "$WINEPREFIX/drive_c/windows/Start Menu/Programs" ;;
esac
exit 0
