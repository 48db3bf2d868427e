#!/usr/bin/env bash
# The Windows program: cross-builds wellenlaenge.exe and its tests with
# MinGW-w64, checks that the program needs only the DLLs Windows brings, runs
# the unit tests under Wine (without a display, then the window tests with
# one), runs the dialogue in the window end to end (Wine on Xvfb, keys from
# xdotool), compares what the Linux and the Windows program write for the
# same inputs, and makes and checks the zip (cpack -G ZIP).
#
# Usage: scripts/test-windows.sh [LINUX_BUILD]
#   LINUX_BUILD  the Linux build folder with wellenlaenge and wine_e2e_tests
#                (default build; it is built here when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/xvfb_wine.sh
scripts/deps.sh windows
jobs=$(nproc)
linux=${1:-build}
win=build-win

echo "=== build $win (MinGW-w64 cross build)"
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_BUILD_TESTS=ON >/dev/null
cmake --build "$win" -j"$jobs"
if [ ! -x "$linux/tests/wine_e2e_tests" ] || [ ! -x "$linux/wellenlaenge" ]; then
    cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_BUILD_TESTS=ON >/dev/null
    cmake --build "$linux" --target wellenlaenge wine_e2e_tests -j"$jobs"
fi

echo "=== imported DLLs"
headers=$(x86_64-w64-mingw32-objdump -p "$win/wellenlaenge.exe")
imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
echo "$imports" | tr '\n' ' '
echo
for dll in $imports; do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
        *) echo "wellenlaenge.exe imports $dll, which Windows does not bring" >&2; exit 1 ;;
    esac
done
case $headers in
    *"(Windows GUI)"*) ;;
    *) echo "wellenlaenge.exe is not a windowed (GUI) program" >&2; exit 1 ;;
esac

wl_make_work
echo "=== Wine prefix"
wl_make_wine_prefix

echo "=== unit tests under Wine (no display)"
for t in textio_tests calc_tests gfxwin_tests win32_tests; do
    echo "--- $t.exe"
    env -u DISPLAY wine "$win/tests/$t.exe" --gtest_brief=1
done
wineserver -w

wl_start_xvfb || { echo "Xvfb did not start" >&2; exit 1; }

echo "=== window tests under Wine (Xvfb)"
DISPLAY=$xvfb_display wine "$win/tests/win32_tests.exe" --gtest_brief=1
wineserver -w

echo "=== the program in its window under Wine (xdotool)"
WL_WINDOWS_BUILD=$root/$win "$linux/tests/wine_e2e_tests" --gtest_brief=1
wineserver -w

# The same inputs give the same result file (and the same transcript) on Linux
# and on Windows, in terminal mode with piped input.
echo "=== Linux and Windows results"
inputs=(
    '0.3127\n0.329\n\n\n'                          # spectral
    '0.4\n0.2\n\n\n'                               # purple: the reflected triple
    '0.3333333333333333\n0.3333333333333333\n\n\n' # the white point
    '0,3127\n0.329\n\n\n'                          # decimal comma
    '3.127E-1\n329D-3\n\n\n'                       # exponent forms
    '.3127e+0\n+3.29d-1\n\n\n'
    '&H1\n&O1\n\n\n'                               # radix prefixes
    '0.0743\n0.8338\n\n\n'                         # just below a whole wavelength
    '0.7347\n0.2653\n\n\n'                         # the red end of the locus
    '0.1741\n0.005\n\n\n'                          # the violet end
    'inf\n0.3\n\n\n'                               # a word, not a number: x reads as 0
    '1e400\n-1e400\n\n\n'
    'nan\nnan\n\n\n'
    '-0.5\n2\n\n\n'                                # outside the locus
    '0.3127'                                       # the input ends early
)
n=0
for input in "${inputs[@]}"; do
    n=$((n + 1))
    mkdir -p "$work/linux$n" "$work/windows$n"
    (cd "$work/linux$n" && printf '%b' "$input" |
        env -u DISPLAY LC_ALL=C KRGFX= "$root/$linux/wellenlaenge" >stdout.txt)
    (cd "$work/windows$n" && printf '%b' "$input" |
        env -u DISPLAY KRGFX= wine "$root/$win/wellenlaenge.exe" >stdout.txt)
    for f in wellenlaenge.txt stdout.txt; do
        if ! cmp -s "$work/linux$n/$f" "$work/windows$n/$f"; then
            echo "input $n ($input): $f differs between Linux and Windows" >&2
            diff <(od -c "$work/linux$n/$f") <(od -c "$work/windows$n/$f") >&2 || true
            exit 1
        fi
    done
    [ -s "$work/linux$n/wellenlaenge.txt" ] || { echo "input $n: no result file" >&2; exit 1; }
done
echo "$n inputs: identical result files and transcripts"

# The Windows zip: its name and contents, the program in it (imports, icon and
# version resource), and batch mode giving the same CSV as on Linux.
echo "=== Windows zip"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
name=wellenlaenge-$version-win64
rm -f "$win/$name.zip"
(cd "$win" && cpack -G ZIP >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
[ -f "$win/$name.zip" ] || { echo "cpack made no $name.zip" >&2; exit 1; }
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$root/$win/$name.zip")
listing=$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')
expected="./$name/LICENSE.txt ./$name/NOTICE.txt ./$name/README.txt ./$name/wellenlaenge.exe "
[ "$listing" = "$expected" ] || { echo "zip holds: $listing" >&2; exit 1; }
for doc in LICENSE NOTICE README; do
    lines=$(wc -l <"$work/zip/$name/$doc.txt")
    crlf=$(grep -c $'\r$' "$work/zip/$name/$doc.txt" || true)
    [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || { echo "$doc.txt: not CR LF text" >&2; exit 1; }
done
exe=$work/zip/$name/wellenlaenge.exe
zipped_imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
    sort | tr '\n' ' ')
[ "$zipped_imports" = "gdi32.dll kernel32.dll msvcrt.dll user32.dll " ] ||
    { echo "the zipped program imports $zipped_imports" >&2; exit 1; }
# Resource strings are UTF-16 (without their zero bytes they read as text);
# the icon's images are PNG files.
x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$work/rsrc.bin"
tr -d '\000' <"$work/rsrc.bin" >"$work/rsrc.txt"
for text in "FileVersion$version" "ProductNamewellenlaenge" GPL-2.0-or-later $'\x89PNG'; do
    grep -qaF "$text" "$work/rsrc.txt" || { echo "no '$text' in the resources" >&2; exit 1; }
done
[ "$(env -u DISPLAY wine "$exe" --version | head -n1)" = "wellenlaenge $version" ] ||
    { echo "--version of the zipped program" >&2; exit 1; }
printf 'x,y\n0.3127,0.329\n0.4 0.2\n0.3333333333333333,0.3333333333333333\n1e400,0.3\n-0.5\t2\n\xff\n0.0743,0.8338\r\n0.64 0.33\n0.1 0.9\n0.7346900232582808,0.26530997674171924\n' \
    >"$work/points.txt"
# Plain, and with the exact columns for a white point other than E.
for options in "" "--exact --white=D65"; do
    status_linux=0
    status_windows=0
    # shellcheck disable=SC2086 # the options are words
    "$root/$linux/wellenlaenge" --batch "$work/points.txt" $options >"$work/linux.csv" 2>/dev/null ||
        status_linux=$?
    # shellcheck disable=SC2086
    env -u DISPLAY wine "$exe" --batch "$work/points.txt" $options >"$work/windows.csv" 2>/dev/null ||
        status_windows=$?
    cmp -s "$work/linux.csv" "$work/windows.csv" ||
        { diff "$work/linux.csv" "$work/windows.csv" >&2; echo "batch CSV differs ($options)" >&2; exit 1; }
    [ "$status_linux" = 1 ] && [ "$status_windows" = 1 ] ||
        { echo "batch $options exit status: Linux $status_linux, Windows $status_windows" >&2; exit 1; }
done
echo "$name.zip: $listing; batch, plain and --exact: $(($(wc -l <"$work/linux.csv") - 1)) rows identical"
