#!/bin/bash
# The CTest emulator of the in-process tests: runs a test program in the
# shared "unit" prefix, on the display its fixture started.
set -u
export PICTAVO_BUILD=$1
shift
. "$(dirname "$0")/wine.sh"
ensure_prefix unit
load_session unit
filter=$(basename "$1" .exe)
for arg in "$@"; do
    case $arg in --gtest_filter=*) filter=${arg#--gtest_filter=} ;; esac
done
run_test_program "unit-$filter" "" "$@"
