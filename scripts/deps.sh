#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# Usage: scripts/deps.sh build|test
set -euo pipefail

# The X11 libraries give the program its window; without them it builds for
# the terminal only.
want=(cmake g++ make libx11-dev libxext-dev)
if [ "${1:-build}" = test ]; then
    # Xvfb, xdotool, xwd/xwininfo/xprop: the window tests against a real X server.
    want+=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils)
fi

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
