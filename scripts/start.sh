#!/usr/bin/env bash
# Builds wellenlaenge and starts it: in a window when a display is available,
# otherwise in the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_BUILD_TESTS=OFF -DWL_BUILD_BENCH=OFF >/dev/null
cmake --build build --target wellenlaenge -j"$(nproc)" >/dev/null
exec ./build/wellenlaenge "$@"
