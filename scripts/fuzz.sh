#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan, UBSan) and runs each
# for a while from a copy of its seed corpus in fuzz/corpus/<target>/, so the
# tree is never written. Any finding (a crash, a sanitizer report or a result
# that differs from the target's reference) fails the script; the input that
# caused it is kept in the printed folder.
#
# Usage: scripts/fuzz.sh [SECONDS]   (default 30 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh fuzz
seconds=${1:-30}
targets=(text_to_number item_scanner terminal_keys lzw number_text line_editor)

echo "=== build build-fuzz (clang, libFuzzer)"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One target: its log and findings stay in $work/<target>.
fuzz_one() {
    local t=$1
    mkdir -p "$work/$t/corpus" "$work/$t/findings"
    cp fuzz/corpus/"$t"/* "$work/$t/corpus/"
    build-fuzz/fuzz/"fuzz_$t" -max_total_time="$seconds" -max_len=1024 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$work/$t/findings/" "$work/$t/corpus" \
        >"$work/$t/log" 2>&1
}

# As many targets at a time as there are processors.
jobs=$(nproc)
pids=()
for t in "${targets[@]}"; do
    fuzz_one "$t" &
    pids+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
done
failed=()
for i in "${!targets[@]}"; do
    t=${targets[$i]}
    echo "=== fuzz_$t, ${seconds} s"
    if wait "${pids[$i]}"; then
        # The closing status line: runs, coverage (cov), features (ft), speed.
        grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$t/log" | tail -n1
    else
        tail -n 40 "$work/$t/log"
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz findings in: ${failed[*]} (inputs in $work/*/findings)" >&2
    exit 1
fi
rm -rf "$work"
echo "${#targets[@]} fuzz targets: no findings"
