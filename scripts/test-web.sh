#!/usr/bin/env bash
# The page and its tests: builds it (build-web/), compares its number
# conversions with the native build's on a million questions, takes the X11
# window's pictures of two dialogues from the native build's end-to-end tests,
# and runs the page in headless Chromium against them and against the Linux
# program's result files.
# Usage: scripts/test-web.sh [NATIVE_BUILD_FOLDER]   (default: build, with X11)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build}
jobs=$(nproc)
scripts/deps.sh web

echo "=== build build-web"
emcmake cmake -S . -B build-web -DWL_BUILD_TESTS=OFF -DWL_BUILD_BENCH=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR=node >/dev/null
cmake --build build-web --target wellenlaenge wl_number_probe -j"$jobs"
cmake --build "$native" --target wellenlaenge wl_number_probe x11_e2e_tests -j"$jobs"

echo "=== number conversions: build-web against $native"
python3 tools/number_conversion_check.py "$native/tools/wl_number_probe" \
    build-web/tools/wl_number_probe.js

echo "=== test build-web in headless Chromium"
pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
WL_WINDOW_PICTURES=$pictures "$native/tests/x11_e2e_tests" --gtest_brief=1 \
    --gtest_filter='WindowDialogueTest.PurpleInput*:WindowDialogueTest.EditingKeys*'
node web/tests/browser_test.mjs --page build-web/web --native "$native/wellenlaenge" \
    --pictures "$pictures"
