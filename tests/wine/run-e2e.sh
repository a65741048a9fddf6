#!/bin/bash
# The CTest emulator of the end-to-end tests. Each test gets a display of
# its own size and a fresh Wine server, both stopped when it ends, pass or
# fail. The size comes from the suite name (Shell_640x480.SomeTest);
# 1024x768 when the name gives none. Suites whose name ends in Win98 or
# Win64 run in a prefix of that kind. A suite may arrange the machine first
# (drives, disks) with tests/e2e/arrange/SUITE.sh, called with "up" while
# no Wine server runs, and with "down" after the test. A suite named
# ScaleN runs in a prefix of its own made at N dots per inch.
set -u
export PICTAVO_BUILD=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine.sh"

size=1024x768
prefix=e2e
suite=
filter=
for arg in "$@"; do
    case $arg in
        --gtest_filter=*)
            filter=${arg#--gtest_filter=}
            suite=${filter%%.*}
            if [[ $suite =~ _([0-9]+x[0-9]+)$ ]]; then size=${BASH_REMATCH[1]}; fi
            suite=${suite%%_*}
            ;;
    esac
done

version=
arch=
dpi=
# Wine gives a new folder made without permissions of its own the mode its
# server's umask leaves, and knows no inheritance: a server started with
# umask 0 plays a drive root on which every user may write.
case $suite in
    *UnderOpenRoot) umask 000 ;;
esac
# Wine takes its DLL overrides from the environment that the first Wine
# program of a tree starts with, not from one that a Windows program hands
# to its child: the suite that plants libraries needs them from here.
case $suite in
    PlantedLibraries) planted_overrides=";lz32,comctl32=n,b" ;;
    *) planted_overrides= ;;
esac
case $suite in
    *Win98) prefix=e2e-win98 version=win98 ;;
    *Win64) prefix=e2e-win64 arch=win64 ;;
    Scale[0-9]*) dpi=${suite#Scale} prefix=e2e-dpi$dpi ;;
esac

arrange=$here/../e2e/arrange/$suite.sh
[ -n "$suite" ] && [ -f "$arrange" ] || arrange=
finish() {
    stop_session "$prefix"
    [ -n "$arrange" ] && bash "$arrange" down
}
trap finish EXIT

ensure_prefix "$prefix" "$version" "$arch" "$dpi"
stop_session "$prefix"
export WINEPREFIX
if [ -n "$arrange" ]; then
    bash "$arrange" up || { echo "arranging the machine for $suite failed" >&2; exit 1; }
fi
start_session "$prefix" "$size" "$version" "$arch" || exit 1
# For the host commands that tests run against the same prefix.
export PICTAVO_WINE="$WINE"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES$planted_overrides" \
    run_test_program "e2e-${filter:-all}" "${PICTAVO_SHOTS:-}/${filter:-}" "$@"
