#!/usr/bin/env bash
# Builds the page (build-web/web: index.html, wellenlaenge.js and
# wellenlaenge.wasm, static files only) and serves it at
# http://127.0.0.1:8000/ until Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh web
emcmake cmake -S . -B build-web -DWL_BUILD_TESTS=OFF -DWL_BUILD_BENCH=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR=node >/dev/null
cmake --build build-web --target wellenlaenge -j"$(nproc)" >/dev/null
echo "wellenlaenge im Browser: http://127.0.0.1:8000/"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/web
