#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, one after the
# other, and prints per target the executions, the coverage libFuzzer saw
# (cov: edges, ft: features) and the findings.
#
#   fuzz/run.sh SECONDS [TARGET...]
#
# Builds with clang into build-fuzz/ (-DBARCODEGEN_FUZZ=ON: AddressSanitizer,
# UndefinedBehaviorSanitizer, libFuzzer). Each target starts from its seeds in
# fuzz/corpus/<target> and its past findings in fuzz/regressions/<target>, and
# keeps what it learns in build-fuzz/corpus/<target> for the next run. A
# finding stops that target; its input lands in build-fuzz/findings/<target>/.
# Mend it, copy the input into fuzz/regressions/<target>/ with a line in
# fuzz/regressions/README, and ./test.sh replays it from then on.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
seconds="$1"
shift
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

build="$here/build-fuzz"
configure_and_build "$build" "" quiet -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DBARCODEGEN_FUZZ=ON -DBARCODEGEN_TESTS=OFF \
    -DBARCODEGEN_BENCH=OFF

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for exe in "$build"/fuzz/fuzz_*; do
        [ -f "$exe" ] && [ -x "$exe" ] && targets+=("${exe##*/fuzz_}")
    done
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp"
table=()
total=0
found=0
for t in "${targets[@]}"; do
    exe="$build/fuzz/fuzz_$t"
    [ -x "$exe" ] || { echo "no fuzz target $t" >&2; exit 2; }
    corpus="$build/corpus/$t"
    findings="$build/findings/$t"
    log="$build/findings/$t.log"
    mkdir -p "$corpus" "$findings"
    seeds=("$here/fuzz/corpus/$t")
    [ -d "$here/fuzz/regressions/$t" ] && seeds+=("$here/fuzz/regressions/$t")
    dict=()
    [ -f "$here/fuzz/dict/$t.dict" ] && dict=("-dict=$here/fuzz/dict/$t.dict")
    before=$(find "$findings" -type f | wc -l)
    echo "== $t: $seconds s" >&2
    status=0
    "$exe" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${dict[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1 ||
        status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    new=$(($(find "$findings" -type f | wc -l) - before))
    if [ $status -ne 0 ] && [ $new -eq 0 ]; then new=1; fi
    if [ $new -gt 0 ]; then
        grep -m1 -E 'invariant broken|ERROR: |runtime error|deadly signal|timeout' "$log" >&2 || true
        echo "   see $log" >&2
    fi
    table+=("$(printf '%-20s %12s %8s %7s %7s %9s' "$t" "${runs:-?}" "${speed:-?}" \
        "${cov:-?}" "${ft:-?}" "$new")")
    total=$((total + ${runs:-0}))
    found=$((found + new))
done
printf '%-20s %12s %8s %7s %7s %9s\n' target executions exec/s cov ft findings
printf '%s\n' "${table[@]}"
printf '%-20s %12s %34s\n' total "$total" "$found"
[ $found -eq 0 ]
