#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# Usage: scripts/deps.sh build|test|package|windows|fuzz|web
set -euo pipefail
cd "$(dirname "$0")/.."

# The X11 libraries give the program its window; without them it builds for
# the terminal only.
want=(cmake g++ make libx11-dev libxext-dev)
if [ "${1:-build}" = test ] || [ "${1:-build}" = windows ]; then
    # Xvfb, xdotool, xwd/xwininfo/xprop: the window tests against a real X server.
    want+=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils)
    # openbox and wmctrl: the window under a real window manager; xrdb
    # (x11-xserver-utils): resources such as Xft.dpi on the test server.
    want+=(openbox wmctrl x11-xserver-utils)
    # The locale sources, to build a decimal-comma locale for the number tests.
    want+=(locales)
    # The packages: cpack's dependency list (dpkg-shlibdeps), lintian, the
    # desktop entry and the man pages (scripts/test-packages.sh).
    want+=(dpkg-dev file lintian desktop-file-utils man-db)
fi

if [ "${1:-build}" = package ]; then
    # The Debian package: dpkg-shlibdeps (dpkg-dev) gives its Depends, and
    # cpack needs `file` to find the programs to look at.
    want+=(dpkg-dev file)
fi

if [ "${1:-build}" = windows ]; then
    # The Windows program: the MinGW-w64 cross compiler (GoogleTest is built for
    # it from the googletest source package) and Wine to run it.
    want+=(g++-mingw-w64-x86-64 wine wine64)
fi

if [ "${1:-build}" = web ]; then
    # The page: Debian's emscripten (its system libraries come prebuilt with
    # it), and headless Chromium with Node.js for the browser tests. A Node.js
    # from elsewhere does not look for Debian's node modules (emcc's acorn);
    # the build hands emcc NODE_PATH=/usr/share/nodejs itself (CMakeLists.txt).
    want+=(emscripten chromium nodejs python3)
    command -v npm >/dev/null || want+=(npm)
fi

if [ "${1:-build}" = fuzz ]; then
    # The fuzz targets: clang with its sanitizer and libFuzzer runtimes.
    want+=(clang libclang-rt-dev)
fi

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Number text and text-to-number must not follow a user's decimal comma; the
# tests check that under a German locale, which is built here when missing.
if [ "${1:-build}" = test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    if [ "$(id -u)" -eq 0 ] && command -v localedef >/dev/null; then
        localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "could not build de_DE.UTF-8" >&2
    fi
fi

# The browser tests drive Chromium with puppeteer-core, at the version the
# lockfile names.
if [ "${1:-build}" = web ] && [ ! -d web/tests/node_modules/puppeteer-core ]; then
    npm ci --prefix web/tests --no-audit --no-fund
fi
