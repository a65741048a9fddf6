#!/bin/bash
# check_payload_size.sh DIR: the five expanded payload files together stay
# within 612,000 bytes, under the 614 units the installer asks to be free.
set -u
total=0
for file in pictavo.exe pictavo.cfg pvhelp.hlp uninstall.exe readme.wri; do
    size=$(stat -c %s "$1/$file") || { echo "missing $1/$file"; echo "0 passed, 1 failed"; exit 1; }
    echo "$file: $size bytes"
    total=$((total + size))
done
echo "total: $total bytes (at most 612000)"
if [ "$total" -le 612000 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
