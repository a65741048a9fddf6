#!/bin/bash
# The CTest emulator of the end-to-end tests. Each test gets a display of
# its own and a fresh Wine server, both stopped when it ends, pass or fail.
# The machine comes from the test's environment, as tests/e2e/CMakeLists.txt
# declares it (e2e_machine), never from the test's name:
#   PICTAVO_MACHINE_SCREEN   the display's size; 1024x768 when not given
#   PICTAVO_MACHINE_WINDOWS  a prefix of its own posing as that version
#   PICTAVO_MACHINE_ARCH     win64: a 64-bit prefix of its own
#   PICTAVO_MACHINE_SCALE    a prefix of its own made at that many dpi
#   PICTAVO_MACHINE_UMASK    the Wine server's umask
#   PICTAVO_MACHINE_DLLS     DLL overrides for the whole Wine session
#   PICTAVO_MACHINE_ARRANGE  a script called with "up" while no Wine server
#                            runs, and with "down" after the test
# With PICTAVO_DESCRIBE_MACHINE set, it prints the machine and runs nothing.
set -u
export PICTAVO_BUILD=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine.sh"

filter=
for arg in "$@"; do
    case $arg in --gtest_filter=*) filter=${arg#--gtest_filter=} ;; esac
done

size=${PICTAVO_MACHINE_SCREEN:-1024x768}
version=${PICTAVO_MACHINE_WINDOWS:-}
arch=${PICTAVO_MACHINE_ARCH:-}
dpi=${PICTAVO_MACHINE_SCALE:-}
arrange=${PICTAVO_MACHINE_ARRANGE:-}
# A prefix of each kind, shared by the tests of that kind.
prefix=e2e${version:+-$version}${arch:+-$arch}${dpi:+-dpi$dpi}
# Wine gives a new folder made without permissions of its own the mode its
# server's umask leaves, and knows no inheritance: a server started with
# umask 0 plays a drive root on which every user may write.
[ -n "${PICTAVO_MACHINE_UMASK:-}" ] && umask "$PICTAVO_MACHINE_UMASK"
# Wine takes its DLL overrides from the environment that the first Wine
# program of a tree starts with, not from one that a Windows program hands
# to its child: a machine that plants libraries needs them from here.
overrides=$WINEDLLOVERRIDES${PICTAVO_MACHINE_DLLS:+;$PICTAVO_MACHINE_DLLS}

if [ -n "${PICTAVO_DESCRIBE_MACHINE:-}" ]; then
    echo "machine of ${filter:-all}${PICTAVO_MACHINE_VARIANT:+/$PICTAVO_MACHINE_VARIANT}: screen=$size prefix=$prefix version=$version arch=$arch scale=$dpi" \
        "umask=$(umask) dlls=${PICTAVO_MACHINE_DLLS:-} arrange=${arrange:+$(basename "$arrange")}"
    exit 0
fi

finish() {
    stop_session "$prefix"
    [ -n "$arrange" ] && bash "$arrange" down
}
trap finish EXIT

ensure_prefix "$prefix" "$version" "$arch" "$dpi"
stop_session "$prefix"
export WINEPREFIX
if [ -n "$arrange" ]; then
    bash "$arrange" up || { echo "arranging the machine ($(basename "$arrange")) failed" >&2; exit 1; }
fi
start_session "$prefix" "$size" "$version" "$arch" || exit 1
# For the host commands that tests run against the same prefix; a bare
# "wine" or "winepath" there is this build's too (wine.sh).
export PICTAVO_WINE="$WINE"
name=${filter:-all}${PICTAVO_MACHINE_VARIANT:+/$PICTAVO_MACHINE_VARIANT}
WINEDLLOVERRIDES="$overrides" run_test_program "e2e-$name" "${PICTAVO_SHOTS:-}/$name" "$@"
