# shellcheck shell=bash
# What the scripts that run the program on a private X server share (sourced by
# scripts/test-windows.sh, scripts/bench-windows.sh and tools/screenshot.sh):
# a work folder removed at exit, Xvfb on a free display, and a fresh Wine
# prefix. The clean-up also ends the program whose process id the script
# keeps in program_pid, the Wine server of the prefix, and Xvfb.

# Makes the work folder $work and installs the clean-up for the script's exit.
wl_make_work() {
    work=$(mktemp -d)
    xvfb_pid=
    program_pid=
    trap wl_cleanup EXIT
}

wl_cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -d "$work/prefix" ]; then WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}

# Starts Xvfb, which picks a free display and writes its number once it
# listens; waits up to 10 s for that. Sets xvfb_pid and xvfb_display (":N");
# returns 1 when the server did not start. Its screen is 1024x768x24, or the
# WIDTHxHEIGHTxDEPTH given as the argument.
wl_start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || return 1
    # shellcheck disable=SC2034  # read by the sourcing script
    xvfb_display=:$(head -n1 "$work/display")
}

# A fresh Wine prefix in the work folder (exports WINEPREFIX and WINEDEBUG). It
# is made without a display, and its server has to be gone before a program
# with a display starts in it.
wl_make_wine_prefix() {
    export WINEPREFIX=$work/prefix WINEDEBUG=-all
    env -u DISPLAY wineboot -i >/dev/null 2>&1
    wineserver -w
}
