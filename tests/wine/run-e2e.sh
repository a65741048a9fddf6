#!/bin/bash
# The CTest emulator of the end-to-end tests. Each test gets a display of
# its own size and a fresh Wine server, both stopped when it ends, pass or
# fail. The size comes from the suite name (Shell_640x480.SomeTest);
# 1024x768 when the name gives none.
set -u
export PICTAVO_BUILD=$1
shift
. "$(dirname "$0")/wine.sh"

size=1024x768
prefix=e2e
for arg in "$@"; do
    case $arg in
        --gtest_filter=*)
            filter=${arg#--gtest_filter=}
            if [[ $filter =~ _([0-9]+x[0-9]+)\. ]]; then size=${BASH_REMATCH[1]}; fi
            ;;
    esac
done

trap 'stop_session "$prefix"' EXIT
start_session "$prefix" "$size" || exit 1
export PICTAVO_WINEPREFIX="$WINEPREFIX"
"$WINE" "$@"
