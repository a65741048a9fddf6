#!/bin/bash
# check_reproducible.sh SOURCE INSTALLER WORK: builds the 32-bit installer
# once more from SOURCE, in a folder of another name under WORK, and
# compares it byte for byte with INSTALLER, built from the same commit.
set -u
source=$1 reference=$2 work=$3
second="$work/second build, elsewhere"
rm -rf "$second"
mkdir -p "$second"
if ! { cmake -S "$source" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
        -DBUILD_TESTING=OFF >"$second.log" 2>&1 &&
       cmake --build "$second" --target pictavo-setup -j 2 >>"$second.log" 2>&1; }; then
    echo "FAIL the second build did not build; see $second.log"
    exit 1
fi
if cmp -s "$reference" "$second/pictavo-setup.exe"; then
    echo "ok   $reference and a second build in \"$second\" are byte-identical"
    rm -rf "$second" "$second.log"
    echo "1 passed, 0 failed"
    exit 0
fi
echo "FAIL the second build differs from $reference at:"
cmp -l "$reference" "$second/pictavo-setup.exe" | head -20
echo "0 passed, 1 failed"
exit 1
