#!/usr/bin/env bash
# Times barcodegen-cli against zint (only as a reference to time against):
# a batch of 10,000 random valid 12-digit EAN-13 codes from a fixed seed, PNG
# with the text and a border of 10 (as the window draws them) and again at
# --xdim 0.33mm --dpi 300, with --jobs 1, --jobs 2 and --verify --jobs 2,
# three runs each, medians; our peak memory
# for 10,000 and 100,000 codes; one code to PNG, SVG and PDF (zint has no PDF:
# its EPS stands in) through hyperfine, ours and zint's in the same run. Every
# figure is printed with its ratio ours/zint. Run it on a quiet machine (it
# prints the load average).
#
# The files go to a tmpfs mounted for the run where that is allowed (as root),
# else to /dev/shm when it is a tmpfs, else to fresh folders on the disk; the
# output says which. With --disk they go to fresh folders on the disk: there
# the file system's handling of recently freed inodes swings the figures.
#
#   bench/batch_vs_zint.sh [--disk] [path/to/barcodegen-cli]
#       (default: the Release build of ./run.sh)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
disk=0
if [ "${1:-}" = --disk ]; then
    disk=1
    shift
fi
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cli="${1:-}"
if [ -z "$cli" ]; then
    configure_and_build "$here/build" barcodegen-cli quiet -DCMAKE_BUILD_TYPE=Release \
        -DBARCODEGEN_TESTS=OFF -DBARCODEGEN_BENCH=OFF
    cli="$here/build/cli/barcodegen-cli"
fi
cli="$(realpath "$cli")"

# Where the files go.
mounted=""
if [ $disk = 1 ]; then
    work="$(mktemp -d "$here/bench-work.XXXXXX")"
    where="fresh folders on the disk ($(df --output=fstype "$work" | tail -1))"
else
    work="$(mktemp -d)"
    if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=2g tmpfs "$work" 2>/dev/null; then
        mounted="$work"
        where="a tmpfs mounted for this run"
    elif [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ]; then
        rmdir "$work"
        work="$(mktemp -d /dev/shm/bench-work.XXXXXX)"
        where="/dev/shm (tmpfs)"
    else
        where="fresh folders on the disk (no tmpfs here)"
    fi
fi
cleanup() {
    cd "$here"
    if [ -n "$mounted" ]; then umount "$mounted"; fi
    rm -rf "$work"
}
trap cleanup EXIT

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

echo "files on $where"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
# batches LABEL [our options] -- [zint's options]: three runs of each, their
# medians and ratios printed.
batches() {
    local label=$1 ours=() theirs=()
    shift
    while [ "$1" != -- ]; do ours+=("$1"); shift; done
    shift
    theirs=("$@")
    local ours1=() ours2=() verify2=() zint=()
    for i in 1 2 3; do
        ours1+=("$(timed "$cli" "${ours[@]}" --jobs 1 --batch "$work/10k.txt" -o '#####.png')")
        ours2+=("$(timed "$cli" "${ours[@]}" --jobs 2 --batch "$work/10k.txt" -o '#####.png')")
        verify2+=("$(timed "$cli" "${ours[@]}" --verify --jobs 2 --batch "$work/10k.txt" -o '#####.png')")
        zint+=("$(timed zint -b EANX "${theirs[@]}" --batch -i "$work/10k.txt" -o 'out~~~~~.png')")
    done
    written=$(find "$work" -name '*.png' | wc -l)
    [ "$written" = 120000 ] || { echo "the batches wrote $written files, not 120000" >&2; exit 1; }
    rm -rf "$work"/run.*
    local o1 o2 v2 z
    o1=$(median "${ours1[@]}") o2=$(median "${ours2[@]}") v2=$(median "${verify2[@]}")
    z=$(median "${zint[@]}")
    echo "$label, runs (s): --jobs 1 ${ours1[*]}; --jobs 2 ${ours2[*]}; --verify --jobs 2 ${verify2[*]}; zint ${zint[*]}"
    echo "$label, median of 3, 10,000 codes: --jobs 1 ${o1} s, --jobs 2 ${o2} s, --verify --jobs 2 ${v2} s, zint ${z} s"
    echo "$label, ratios ours/zint: --jobs 1 $(ratio "$o1" "$z"), --jobs 2 $(ratio "$o2" "$z"), --verify --jobs 2 $(ratio "$v2" "$z")"
}

# As the window draws them; then at a print size, 4 dots a module at 300
# dpi (zint's --scale=2 gives the same 4 pixels a module).
batches "window's picture" --
batches "--xdim 0.33mm --dpi 300" --xdim 0.33mm --dpi 300 -- --scale=2
kb10k=$(peak "$cli" --jobs 2 --batch "$work/10k.txt" -o '#####.png')
kb100k=$(peak "$cli" --jobs 2 --batch "$work/100k.txt" -o '######.png')
rm -rf "$work"/run.*

echo "peak memory: 10,000 codes ${kb10k} KB, 100,000 codes ${kb100k} KB (ratio $(ratio "$kb100k" "$kb10k"))"

# One code: hyperfine runs ours and zint's alternately enough times to see past the noise.
single="$(fresh)"
cd "$single"
for pair in "png png" "svg svg" "pdf eps"; do
    set -- $pair
    hyperfine -N --warmup 5 --runs 60 --export-csv "$work/one.csv" \
        "$cli -o one.$1 590123412345" "zint -b EANX -d 590123412345 -o one.$2" >/dev/null 2>&1
    # The medians, in milliseconds.
    read -r mo mz < <(awk -F, 'NR > 1 { printf "%s ", $4 * 1000 } END { print "" }' "$work/one.csv")
    echo "one code to ${1^^}: ours ${mo} ms, zint (${2^^}) ${mz} ms, ratio $(ratio "$mo" "$mz")"
done
cd "$here"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
