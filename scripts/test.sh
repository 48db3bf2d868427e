#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, then the same tests
# under AddressSanitizer with UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

run_suite() {
    local dir=$1
    shift
    echo "=== build $dir $*"
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    echo "=== test $dir"
    (cd "$dir" && ctest --output-on-failure -j"$jobs")
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_SANITIZE=address -DWL_BUILD_BENCH=OFF
