#!/usr/bin/env bash
# Builds everything and runs every test: a normal build (and the Debian package
# made from it, scripts/test-packages.sh, and the page in the browser against
# it, scripts/test-web.sh), then the same tests
# under AddressSanitizer with UndefinedBehaviorSanitizer, then the window
# tests (two threads sharing the screen) under ThreadSanitizer, and at last the
# Windows program (scripts/test-windows.sh).
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
    (cd "$dir" && ctest --output-on-failure --no-tests=error -j"$jobs")
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_BUILD_TESTS=ON -DWL_BUILD_BENCH=ON
scripts/test-packages.sh build
scripts/test-web.sh build
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_SANITIZE=address -DWL_BUILD_TESTS=ON \
    -DWL_BUILD_BENCH=OFF
scripts/fuzz.sh  # the libFuzzer targets (clang), 30 s each from their seed corpora

# ThreadSanitizer: only the window layer runs two threads, so only its tests.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
echo "=== build build-tsan (window tests)"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_SANITIZE=thread -DWL_BUILD_TESTS=ON \
    -DWL_BUILD_BENCH=OFF >/dev/null
tsan_targets=(gfxwin_tests)
if grep -q '^WL_HAVE_X11:INTERNAL=ON' build-tsan/CMakeCache.txt; then
    tsan_targets+=(x11_tests)
fi
cmake --build build-tsan --target "${tsan_targets[@]}" -j"$jobs"
echo "=== test build-tsan"
# Some kernels place memory where ThreadSanitizer does not expect it; without
# address randomisation the layout is always the expected one.
run_tsan() { setarch "$(uname -m)" -R "$@"; }
for t in "${tsan_targets[@]}"; do
    run_tsan "build-tsan/tests/$t" --gtest_brief=1
done

# The Windows program: the MinGW-w64 cross build, its tests under Wine, the
# dialogue in the window under Wine on Xvfb, and the Linux/Windows comparison.
scripts/test-windows.sh build
