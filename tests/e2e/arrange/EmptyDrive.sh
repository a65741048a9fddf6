#!/bin/bash
# Drive R is a floppy drive without a disk: its device is absent.
set -u
: "${WINEPREFIX:?}"
. "$(dirname "$0")/../../wine/wine.sh"
drives='HKLM\Software\Wine\Drives'
case $1 in
    up)
        ln -sfn "$WINEPREFIX/../no-disk/absent" "$WINEPREFIX/dosdevices/r:"
        wine_quiet reg add "$drives" /v r: /t REG_SZ /d floppy /f
        ;;
    down)
        rm -f "$WINEPREFIX/dosdevices/r:"
        wine_quiet reg delete "$drives" /v r: /f
        ;;
esac
# Wine reads its drives only when its server starts.
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1
exit 0
