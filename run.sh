#!/bin/bash
# Sets up what is missing, builds and runs the installer in a private Wine
# prefix under build/. With an X display it opens there for you to click
# through; without one it walks through the default choices by itself in a
# virtual display and saves a picture of each screen.
set -u
root=$(cd "$(dirname "$0")" && pwd)
. "$root/tools/setup-host.sh"
setup_host || exit 1
build_all "$root" >/dev/null || exit 1

export PICTAVO_BUILD=$test_build
. "$root/tests/wine/wine.sh"
installer=$test_build/pictavo-setup.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    ensure_prefix run
    trap 'stop_session run' EXIT
    "$WINE" "$installer"
    exit $?
fi

trap 'stop_session run' EXIT
start_session run 1024x768 || exit 1
shots=$root/build/walkthrough
rm -rf "$shots"
mkdir -p "$shots"
PICTAVO_SETUP_EXE=$installer PICTAVO_SHOTS=$shots "$WINE" "$test_build/walkthrough.exe"
status=$?
echo "Pictures of each screen: $shots"
exit $status
