#!/usr/bin/env bash
# Times a batch of barcodegen-cli against zint's batch mode (zint only as a
# reference to time against): 10,000 random valid 12-digit EAN-13 codes from a
# fixed seed, PNG with the text and a border of 10 (as the window draws them),
# three runs each, medians. Also: our peak memory for 10,000 and 100,000 codes,
# the batch with --verify, and one single code. The last line is the ratio
# ours/zint. Run it on a quiet machine (it prints the load average).
#
#   bench/batch_vs_zint.sh [path/to/barcodegen-cli]   (default: the Release build of ./run.sh)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cli="${1:-}"
if [ -z "$cli" ]; then
    configure_and_build "$here/build" barcodegen-cli quiet -DCMAKE_BUILD_TYPE=Release \
        -DBARCODEGEN_TESTS=OFF -DBARCODEGEN_BENCH=OFF
    cli="$here/build/cli/barcodegen-cli"
fi
cli="$(realpath "$cli")"
export QT_QPA_PLATFORM=offscreen

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# codes N FILE: N random 12-digit codes (zint and we both add the check digit).
codes() {
    awk -v n="$1" 'BEGIN { srand(20240612); for (i = 0; i < n; i++) {
        s = ""; for (k = 0; k < 12; k++) s = s int(rand() * 10); print s } }' >"$2"
}
codes 10000 "$work/10k.txt"
codes 100000 "$work/100k.txt"

# fresh: a new empty folder for a run. Folders are kept until the end, so no
# run pays for deleting the files of the one before.
fresh() {
    mktemp -d "$work/run.XXXXXX"
    sync
}

# timed command...: runs command in a fresh folder and prints its wall time in seconds.
timed() {
    local dir start end
    dir="$(fresh)"
    start=$EPOCHREALTIME
    (cd "$dir" && "$@" >/dev/null)
    end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

# peak command...: runs command in a fresh folder and prints its peak memory in KB.
peak() {
    local dir
    dir="$(fresh)"
    (cd "$dir" && /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null)
    cat "$work/peak"
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
ours=() zint=() verify=()
for i in 1 2 3; do
    ours+=("$(timed "$cli" --batch "$work/10k.txt" -o '#####.png')")
    zint+=("$(timed zint -b EANX --batch -i "$work/10k.txt" -o 'out~~~~~.png')")
    verify+=("$(timed "$cli" --verify --batch "$work/10k.txt" -o '#####.png')")
done
written=$(find "$work" -name '*.png' | wc -l)
[ "$written" = 90000 ] || { echo "the batches wrote $written files, not 90000" >&2; exit 1; }
kb10k=$(peak "$cli" --batch "$work/10k.txt" -o '#####.png')
kb100k=$(peak "$cli" --batch "$work/100k.txt" -o '######.png')

single_ours=() single_zint=()
for i in 1 2 3 4 5; do
    single_ours+=("$(timed "$cli" -o one.png 590123412345)")
    single_zint+=("$(timed zint -b EANX -d 590123412345 -o one.png)")
done

o=$(median "${ours[@]}") z=$(median "${zint[@]}") v=$(median "${verify[@]}")
so=$(median "${single_ours[@]}") sz=$(median "${single_zint[@]}")
echo "runs (s): ours ${ours[*]}; zint ${zint[*]}; ours --verify ${verify[*]}"
echo "peak memory: 10,000 codes ${kb10k} KB, 100,000 codes ${kb100k} KB (ratio $(ratio "$kb100k" "$kb10k"))"
echo "single code: ours ${so} s, zint ${sz} s (ratio $(ratio "$so" "$sz"))"
echo "with --verify: ${v} s (ratio to zint $(ratio "$v" "$z"))"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "median of 3, 10,000 codes: ours ${o} s, zint ${z} s"
echo "ratio ours/zint: $(ratio "$o" "$z")"
