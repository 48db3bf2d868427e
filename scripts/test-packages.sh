#!/usr/bin/env bash
# The Linux packages and what they install: renders both man pages with
# warnings on, validates the desktop entry, makes the Debian package with
# cpack, runs lintian on it (no "E:" line allowed), checks its fields and
# contents, resolves its Depends with apt (simulated), and runs the program
# unpacked from it. Also checks what "cmake --install" puts where.
#
# Usage: scripts/test-packages.sh [BUILD]
#   BUILD  a configured and built Linux build folder (default build); cpack
#          builds what is missing in it
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || { echo "no build folder $build" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "test-packages: $*" >&2; exit 1; }

echo "=== man pages (version $version)"
for page in "$build/packaging/man/wellenlaenge.1" "$build/packaging/man/de/wellenlaenge.1"; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/warnings.txt"
    [ ! -s "$work/warnings.txt" ] || { cat "$work/warnings.txt" >&2; fail "$page: warnings"; }
    grep -q "wellenlaenge $version" "$work/page.txt" || fail "$page does not name version $version"
done

echo "=== desktop entry"
desktop-file-validate packaging/wellenlaenge.desktop

echo "=== cmake --install"
cmake --install "$build" --prefix "$work/usr" >/dev/null
for f in bin/wellenlaenge share/man/man1/wellenlaenge.1 share/man/de/man1/wellenlaenge.1 \
    share/applications/wellenlaenge.desktop share/doc/wellenlaenge/copyright \
    share/doc/wellenlaenge/README.md share/doc/wellenlaenge/NOTICE \
    share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/wellenlaenge.png; do
    [ -f "$work/usr/$f" ] || fail "cmake --install did not install $f"
done

echo "=== Debian package"
deb=wellenlaenge_${version}_${arch}.deb
rm -f "$build"/wellenlaenge_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
[ -f "$build/$deb" ] || fail "cpack made no $deb"
field() { dpkg-deb -f "$build/$deb" "$1"; }
[ "$(field Section)" = science ] || fail "section is not science"
[ "$(field Version)" = "$version" ] || fail "package version is not $version"
case $(field Depends) in *libc6*) ;; *) fail "Depends lacks libc6: $(field Depends)" ;; esac
[ "$(field Description | wc -l)" -gt 3 ] || fail "no extended description"
echo "Depends: $(field Depends)"

dpkg-deb -c "$build/$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/contents.txt"
for f in usr/bin/wellenlaenge usr/share/man/man1/wellenlaenge.1.gz \
    usr/share/man/de/man1/wellenlaenge.1.gz usr/share/applications/wellenlaenge.desktop \
    usr/share/doc/wellenlaenge/{copyright,changelog.gz,README.md,NOTICE} \
    usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/wellenlaenge.png; do
    grep -qx "$f" "$work/contents.txt" || fail "$deb lacks $f"
done

echo "=== lintian"
lintian --display-info "$build/$deb" 2>/dev/null | tee "$work/lintian.txt" || true
grep -q '^E:' "$work/lintian.txt" && fail "lintian reports errors"
echo "lintian: $(grep -c '^E:' "$work/lintian.txt") errors, $(grep -c '^W:' "$work/lintian.txt") warnings, $(grep -c '^I:' "$work/lintian.txt") notes"

echo "=== install (apt, simulated) and run"
apt-get install --simulate --no-install-recommends "./$build/$deb" >"$work/apt.txt" 2>&1 ||
    { cat "$work/apt.txt" >&2; fail "apt cannot install $deb"; }
grep -q "^Inst wellenlaenge " "$work/apt.txt" || { cat "$work/apt.txt" >&2; fail "apt would not install it"; }
dpkg -x "$build/$deb" "$work/root"
program=$work/root/usr/bin/wellenlaenge
[ "$("$program" --version | head -n1)" = "wellenlaenge $version" ] || fail "--version of the package"
out=$(cd "$work" && printf '0.3127,0.329\n' | "$program" --batch)
[ "$out" = $'x,y,z,wavelength_nm,kind\n0.3127,0.329,0.3583,488.997,dominant' ] ||
    fail "batch run of the packaged program: $out"
LC_ALL=C.UTF-8 man --warnings -l "$work/root/usr/share/man/de/man1/wellenlaenge.1.gz" \
    >/dev/null 2>"$work/warnings.txt"
[ ! -s "$work/warnings.txt" ] || fail "packaged German man page: $(cat "$work/warnings.txt")"
echo "$deb: $(stat -c %s "$build/$deb") bytes, $(grep -c . "$work/contents.txt") entries"
