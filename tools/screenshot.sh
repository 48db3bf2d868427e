#!/usr/bin/env bash
# Takes the screenshot in docs/screenshot.png: runs the program in its window
# on a private Xvfb, types the sample input, and saves the window once the
# result shows.
#
# Usage: [WL_SCALE=K] tools/screenshot.sh [PROGRAM] [OUTPUT]
#   PROGRAM   the built program; without it, build/wellenlaenge is built first
#   OUTPUT    the PNG to write (default docs/screenshot.png)
#   WL_SCALE  the window's scale, 1 to 8 (default 1); docs/screenshot_2x.png
#             is taken with 2
# Needs Xvfb, xdotool, xwd and ImageMagick's convert.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/xvfb_wine.sh"
program=${1:-}
output=${2:-$root/docs/screenshot.png}
scale=${WL_SCALE:-1}
case $scale in
    [1-8]) ;;
    *) echo "screenshot.sh: WL_SCALE must be a whole number from 1 to 8" >&2; exit 1 ;;
esac

for tool in Xvfb xdotool xwd convert; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
if [ -z "$program" ]; then
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build" --target wellenlaenge -j"$(nproc)" >/dev/null
    program=$root/build/wellenlaenge
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")

wl_make_work
# A screen a little larger than the window, which the screenshot needs whole.
wl_start_xvfb "$((640 * scale + 64))x$((480 * scale + 64))x24" ||
    { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=$xvfb_display

mkdir "$work/run"
(cd "$work/run" && exec env -u KRGFX -u GDK_SCALE WL_SCALE="$scale" "$program" </dev/null >/dev/null) &
program_pid=$!

window=$(timeout 10 xdotool search --sync --onlyvisible --name '^wellenlaenge$' | head -n1)
[ -n "$window" ] || { echo "screenshot.sh: the window did not appear" >&2; exit 1; }
# No window manager: give the window the keyboard focus ourselves.
timeout 10 xdotool windowfocus --sync "$window"

# Typed keys wait in the program's key buffer until the editor reads them.
xdotool type --delay 40 '0.3127'
xdotool key Return
xdotool type --delay 40 '0.329'
xdotool key Return

# Wait until text row 8 (pixel rows 112..127, times the scale) lights up: the
# result line.
row=$((640 * scale))x$((16 * scale))+0+$((112 * scale))
shown=
for _ in $(seq 100); do
    xwd -silent -id "$window" >"$work/shot.xwd"
    if [ "$(convert "xwd:$work/shot.xwd" -crop "$row" +repage -format '%[max]' info:)" != 0 ]; then
        shown=1
        break
    fi
    sleep 0.1
done
[ -n "$shown" ] || { echo "screenshot.sh: the result line did not show" >&2; exit 1; }
sleep 0.2
xwd -silent -id "$window" >"$work/shot.xwd"
mkdir -p "$(dirname "$output")"
convert "xwd:$work/shot.xwd" -strip -define png:exclude-chunks=date,time "png:$output"

# The two final keys end the program.
xdotool key a
sleep 0.3
xdotool key b
for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
    echo "screenshot.sh: the program did not end" >&2
    exit 1
fi
wait "$program_pid" || { echo "screenshot.sh: the program ended with status $?" >&2; exit 1; }
program_pid=
echo "wrote $output"
