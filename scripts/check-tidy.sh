#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the project's own sources
# with the compile commands of a build, and fails on any finding. A function
# over the statement limit passes only when scripts/function-size-allow.txt
# lists it, and only while it grows no longer than listed.
# Usage: scripts/check-tidy.sh BUILD_DIR [FILE...]
#   (default: every tracked *.cpp of the programs and libraries that BUILD_DIR
#   compiles: not tests/, bench/ nor fuzz/, which would double the time; name
#   their files to check them. The build must have run: sources include files
#   it generates.)
# TIDY_JOBS=N runs N clang-tidy processes at once (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${1:?usage: check-tidy.sh BUILD_DIR [FILE...]}" && pwd)
shift
allow=scripts/function-size-allow.txt
[ -f "$build/compile_commands.json" ] || {
    echo "$build/compile_commands.json is missing: configure the build first" >&2
    exit 2
}

if [ $# -gt 0 ]; then
    files=("$@")
else
    # A source the build does not compile (the libFuzzer entry without
    # BARCODEGEN_FUZZ) has no flags to be read with.
    mapfile -t files < <(git ls-files '*.cpp' ':!tests/' ':!bench/' ':!fuzz/' | while read -r f; do
        grep -qF "\"file\": \"$root/$f\"" "$build/compile_commands.json" && echo "$f"
    done)
fi

# Findings in headers count too, but only in our own folders: not in Qt's,
# nor in the build's generated files.
folders=$(git ls-files '*.h' '*.cpp' | sed -n 's@/.*@@p' | sort -u | paste -sd'|')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\0' "${files[@]}" |
    xargs -0 -n1 -P"${TIDY_JOBS:-2}" sh -c \
        'clang-tidy -p "$0" --quiet --header-filter="$1" "$3" >"$2/$(echo "$3" | tr / _).out" 2>&1 ||
         echo "$3" >>"$2/failed"' \
        "$build" "^$root/($folders)/" "$work" ||
    true

# One line per finding (a header's findings come once per source including it):
#   FILE:LINE: [check] message
# and for a function over the limit: FILE FUNCTION STATEMENTS
cat "$work"/*.out | awk -v root="$root/" '
    function flush() { if (fn != "") print "size", file, fn, count; fn = "" }
    /^\/.*:[0-9]+:[0-9]+: (warning|error): / {
        flush()
        line = $0
        if (index(line, root) == 1) line = substr(line, length(root) + 1)
        if (line ~ /\[readability-function-size\]$/) {
            split(line, p, ":")
            file = p[1]
            fn = line
            sub(/^[^'\'']*'\''/, "", fn)
            sub(/'\''.*/, "", fn)
            count = "?"
        } else {
            check = line
            sub(/.* \[/, "[", check)
            sub(/ \[[^ ]*\]$/, "", line)
            sub(/:[0-9]+: (warning|error): /, ": " check " ", line)
            print "finding", line
        }
        next
    }
    fn != "" && / note: [0-9]+ statements \(threshold/ {
        count = $0
        sub(/.* note: /, "", count)
        sub(/ .*/, "", count)
    }
    END { flush() }
' | sort -u >"$work/findings"

status=0
if grep -q '^finding ' "$work/findings"; then
    sed -n 's/^finding /  /p' "$work/findings" >&2
    echo "clang-tidy found the above (the checks are in .clang-tidy; the full" \
        "report: clang-tidy -p $build FILE)" >&2
    status=1
fi
# FILE FUNCTION STATEMENTS in the allow-list; # begins a comment.
while read -r kind file fn count; do
    listed=$(awk -v f="$file" -v n="$fn" '!/^#/ && $1 == f && $2 == n { print $3 }' "$allow")
    if [ -z "$listed" ]; then
        echo "  $file: function $fn has $count statements, over the limit of .clang-tidy:" \
            "split it at its seams" >&2
        status=1
    elif [ "$count" = "?" ] || [ "$count" -gt "$listed" ]; then
        echo "  $file: function $fn has grown to $count statements; $allow allows" \
            "it $listed, and it may only shrink" >&2
        status=1
    fi
done < <(grep '^size ' "$work/findings" || true)
if [ $# -eq 0 ]; then
    while read -r file fn count; do
        grep -q "^size $file $fn " "$work/findings" ||
            echo "note: $file: $fn is no longer over the limit: remove its line from $allow" >&2
    done < <(grep -v '^#' "$allow" | grep .)
fi
if [ -f "$work/failed" ] && [ $status -eq 0 ]; then
    # clang-tidy ends with an error when a source does not compile for it.
    echo "clang-tidy could not check: $(tr '\n' ' ' <"$work/failed")" >&2
    cat "$work"/*.out >&2
    status=1
fi
[ $status -eq 0 ] || echo "clang-tidy check failed" >&2
exit $status
