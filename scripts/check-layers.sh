#!/usr/bin/env bash
# Rejects an include that points the wrong way between the project's folders.
# Includes name their folder from the project root ("picture/FileIO.h"), so the
# folder of a source and the first part of each include it writes are the edge.
# Usage: scripts/check-layers.sh [FILE...]   (default: every tracked source)
# Prints one line per wrong include, FILE:LINE, and exits 1 if there is any.
set -euo pipefail
cd "$(dirname "$0")/.."

# Which project folders each folder may include besides its own: the layers of
# docs/ARCHITECTURE.md. A lower layer is reachable from every layer above it,
# so a folder lists the whole way down. symbologies/ is private to the engine
# library: only tests and fuzzers reach into it from outside.
declare -A allowed=(
    [engine]=""
    [symbologies]="engine"
    [platform]="engine"
    [picture]="engine"
    [forms]="engine platform"
    [complib]="engine platform forms"
    [propsave]="engine platform forms complib picture"
    [picexport]="engine platform forms complib picture"
    [app]="engine platform picture forms complib propsave picexport"
    [cli]="engine picture"
    # The installed library and the program that shows how to use it, which
    # reaches it only through the installed header.
    [library]="engine picture"
    [examples]=""
    [bench]="engine platform picture forms complib propsave picexport app cli library"
    [tests]="*"
    [fuzz]="*"
)
if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
[ ${#files[@]} -gt 0 ] || exit 0

status=0
for file in "${files[@]}"; do
    folder="${file%%/*}"
    if [ "$folder" != "$file" ] && [ -z "${allowed[$folder]+set}" ]; then
        echo "$file: folder $folder/ has no row in scripts/check-layers.sh; give it its layer there" >&2
        status=1
    fi
done
while IFS=: read -r file line target; do
    folder="${file%%/*}"
    [ "$folder" != "$file" ] && [ -n "${allowed[$folder]+set}" ] || continue
    [ "$target" != "$folder" ] || continue
    [ -d "$target" ] || continue # "QtCore/qglobal.h" and the like, written with quotes
    case " ${allowed[$folder]} " in
    *" * "* | *" $target "*) ;;
    *)
        echo "$file:$line: $folder/ may not include $target/ (it may include:" \
            "${allowed[$folder]:-no other folder})" >&2
        status=1
        ;;
    esac
done < <(printf '%s\0' "${files[@]}" |
    xargs -0 grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' /dev/null |
    sed -E 's@^([^:]+):([0-9]+):[^"]*"([^/"]+)/.*@\1:\2:\3@')
if [ $status -ne 0 ]; then
    echo "Layer check failed: the allowed includes are the table in scripts/check-layers.sh" \
        "and the layers of docs/ARCHITECTURE.md" >&2
fi
exit $status
