#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it
# with the project's .clang-format.
# Usage: scripts/check-format.sh [FILE...]   (default: every tracked *.cpp and *.h)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
[ ${#files[@]} -gt 0 ] || exit 0

# clang-format names each place that differs (FILE:LINE:COLUMN); the list of
# files after it is what to run clang-format -i on.
report=$(clang-format --style=file --dry-run -Werror "${files[@]}" 2>&1) && exit 0
echo "$report" | grep -E '^[^ ].*: error:' >&2 || echo "$report" >&2
mapfile -t bad < <(echo "$report" | sed -nE 's/^([^: ]+):[0-9]+:[0-9]+: error:.*/\1/p' | sort -u)
echo "Format check failed: ${#bad[@]} file(s) are not formatted as .clang-format asks." >&2
[ ${#bad[@]} -eq 0 ] || echo "Fix with: clang-format -i ${bad[*]}" >&2
exit 1
