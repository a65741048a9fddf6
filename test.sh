#!/bin/bash
# Sets up what is missing, builds, and runs every test.
set -u
root=$(cd "$(dirname "$0")" && pwd)
. "$root/tools/setup-host.sh"
setup_host || exit 1
build_all "$root" || exit 1
ctest --test-dir "$test_build" -j 2 --output-on-failure
status=$?
echo "Screenshots of the end-to-end tests: $test_build/screenshots"
exit $status
