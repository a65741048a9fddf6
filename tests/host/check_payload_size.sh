#!/bin/bash
# check_payload_size.sh DIR FILE...: the expanded payload files together
# stay within 612,000 bytes, under the 614 units the installer asks to be free.
set -u
dir=$1
shift
total=0
for file in "$@"; do
    size=$(stat -c %s "$dir/$file") || { echo "missing $dir/$file"; echo "0 passed, 1 failed"; exit 1; }
    echo "$file: $size bytes"
    total=$((total + size))
done
echo "total: $total bytes (at most 612000)"
if [ "$total" -le 612000 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
