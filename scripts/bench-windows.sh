#!/usr/bin/env bash
# Measurements of the Windows program under Wine on Xvfb, DirectX next to GDI:
#  - driver_bench.exe (timed loops): the cost of one update pass for a full
#    frame and for one text row, and the CPU of an idle open window in its own
#    process, for each driver;
#  - the CPU that the program waiting at its first prompt, the Wine server and
#    the X server use over 10 s, read from /proc, for each driver.
# Builds driver_bench.exe in the cross-build folder (configured by
# scripts/test-windows.sh) when it is not there.
#
# Usage: scripts/bench-windows.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/xvfb_wine.sh
win=build-win
seconds=${1:-10}
if [ ! -x "$win/bench/win32/driver_bench.exe" ]; then
    cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_BUILD_BENCH=ON >/dev/null
    cmake --build "$win" --target driver_bench wellenlaenge -j"$(nproc)"
fi

wl_make_work
wl_make_wine_prefix
wl_start_xvfb || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=$xvfb_display

echo "=== driver_bench.exe (timed loops)"
wine "$win/bench/win32/driver_bench.exe" 500 "$seconds"

# User + system CPU time of a process in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
report() {
    awk -v name="$1" -v t="$2" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "  %-20s %6.0f ms CPU = %5.2f %% of one core\n", name, t * 1000 / hz, t * 100 / hz / s }'
}
# The Wine server of this prefix works in a folder named after the prefix's
# device and inode numbers.
server_dir=server-$(printf '%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")

for driver in DirectX GDI; do
    echo "=== the waiting program over $seconds s (/proc), KRGFX=$driver"
    rm -rf "$work/run" && mkdir "$work/run"
    (cd "$work/run" && KRGFX=$driver exec wine "$OLDPWD/$win/wellenlaenge.exe" </dev/null >/dev/null 2>&1) &
    program_pid=$!
    for _ in $(seq 200); do
        xdotool search --name '^wellenlaenge$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 2
    server_pid=
    for p in $(pgrep -x 'wineserver|wineserver64' || true); do
        [ "$(basename "$(readlink "/proc/$p/cwd" 2>/dev/null)")" = "$server_dir" ] && server_pid=$p
    done
    p0=$(ticks "$program_pid")
    s0=$([ -n "$server_pid" ] && ticks "$server_pid" || echo 0)
    x0=$(ticks "$xvfb_pid")
    sleep "$seconds"
    p1=$(ticks "$program_pid")
    s1=$([ -n "$server_pid" ] && ticks "$server_pid" || echo 0)
    x1=$(ticks "$xvfb_pid")
    report "program (wine)" $((p1 - p0))
    if [ -n "$server_pid" ]; then report "wineserver" $((s1 - s0)); else echo "  wineserver: not found"; fi
    report "Xvfb" $((x1 - x0))
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    wineserver -w
done
