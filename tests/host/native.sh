#!/bin/bash
# native.sh build SOURCE BUILD: configures and builds the native project
#     (tests/native) with clang into BUILD.
# native.sh unit BUILD: runs the pure unit tests there, under ASan and UBSan.
# native.sh fuzz BUILD TARGET SECONDS [SEEDS]: fuzzes TARGET for SECONDS,
#     growing the corpus BUILD/corpus/TARGET; a finding is saved under
#     BUILD/findings/ and fails the test.
set -u
mode=$1
case $mode in
build)
    source=$2 build=$3
    mkdir -p "$build"
    if ! { cmake -S "$source" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= >"$build/build.log" 2>&1 &&
           cmake --build "$build" -j 2 >>"$build/build.log" 2>&1; }; then
        tail -40 "$build/build.log"
        echo "FAIL the native build did not build; see $build/build.log"
        exit 1
    fi
    echo "ok   built the native tests and fuzzers in $build"
    ;;
unit)
    build=$2
    # halt_on_error: a finding is a failure even where recovery was allowed.
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/native_unit_tests" --gtest_brief=1
    ;;
fuzz)
    build=$2 target=$3 seconds=$4 seeds=${5:-}
    corpus=$build/corpus/$target findings=$build/findings
    mkdir -p "$corpus" "$findings"
    log=$build/fuzz_$target.log
    # One process, one job: ctest runs two tests at a time on two cores.
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$corpus" $seeds >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if [ $status -ne 0 ]; then
        tail -30 "$log"
        grep -m 5 -E "ERROR:|SUMMARY:|contract broken|runtime error" "$log"
        echo "FAIL fuzz_$target found a fault after ${runs:-?} runs; the input is in $findings"
        exit 1
    fi
    echo "ok   fuzz_$target: ${runs:-?} runs in ${seconds}s, corpus of $(ls "$corpus" | wc -l) inputs in $corpus"
    ;;
*)
    echo "usage: native.sh build|unit|fuzz ..." >&2
    exit 2
    ;;
esac
