#!/bin/bash
# version_build.sh SOURCE WORK TOOLCHAIN VERSION: the same sources built as
# another version, for the end-to-end tests that install one version over
# another (a CTest fixture, made once per run). Only what ships: the
# installer and its manifest, no tests, no holding build. The folder is
# kept between runs, so a run builds only what changed.
set -u
source=$1 work=$2 toolchain=$3 version=$4
. "$(dirname "$0")/build_log.sh"
cmake -S "$source" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=OFF \
    -DPICTAVO_VERSION="$version" >>"$log" 2>&1 || fail "version $version did not configure"
cmake --build "$work" --target package_manifest -j 2 >>"$log" 2>&1 || fail "version $version did not build"
echo "ok   built version $version in $work"
