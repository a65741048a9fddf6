#!/bin/bash
# Prints the installer's benchmark figures: start-up time against a bare
# dialog program, and the size of its code apart from its resources.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/setup-host.sh"
setup_host || exit 1
build_all "$root" >/dev/null || exit 1

size_without_resources() {
    local exe=$1 objdump=$2 total rsrc
    total=$(stat -c %s "$exe")
    rsrc=$("$objdump" -h "$exe" | awk '$2 == ".rsrc" { print $3 }')
    echo $((total - 16#${rsrc:-0}))
}

overhead=$(size_without_resources "$root/build/pictavo-setup.exe" i686-w64-mingw32-objdump)
echo "code overhead of build/pictavo-setup.exe (file size minus resources): $overhead bytes" \
    "($((overhead / 1024)) KB; goal: at most 48 KB)"

export PICTAVO_BUILD=$test_build
. "$root/tests/wine/wine.sh"
trap 'stop_session bench' EXIT
start_session bench 1024x768 || exit 1
"$WINE" "$test_build/bench/startup_timer.exe" "$test_build/pictavo-setup.exe" "$test_build/bench/bare_dialog.exe" 21

cmake --build "$test_build" --target expansion_timer >/dev/null || exit 1
work=$test_build/bench/work
rm -rf "$work"
module=$test_build/bench/payload_large.dll
"$WINE" "$test_build/bench/expansion_timer.exe" "Z:${module//\//\\}" "Z:${work//\//\\}"
rm -rf "$work"
