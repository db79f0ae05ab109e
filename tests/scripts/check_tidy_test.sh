#!/usr/bin/env bash
# scripts/check-tidy.sh on a small tree of its own, with the project's
# .clang-tidy: a fault fails with its file and line, a function over the limit
# passes only as the allow-list says, and a header's finding is told once.
# Usage: check_tidy_test.sh SOURCE_DIR   (exit 77, a skip, without clang-tidy)
set -uo pipefail
source_dir=$1
command -v clang-tidy >/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/src" "$work/build"
cp "$source_dir/scripts/check-tidy.sh" "$work/scripts/"
cp "$source_dir/.clang-tidy" "$work/"

{
    echo 'int Long(int x) {'
    for i in $(seq 70); do echo "    x += $i;"; done
    echo '    return x;'
    echo '}'
} >"$work/src/Long.cpp"
echo 'int Short(int x) { return x + 1; }' >"$work/src/Clean.cpp"
cat >"$work/src/Moved.cpp" <<'EOF'
#include <string>
#include <utility>
std::string Twice(std::string s) {
    std::string t = std::move(s);
    return s + t;
}
EOF
cat >"$work/src/Shared.h" <<'EOF'
#include <cstring>
inline bool Same(const char* a, const char* b) {
    return !std::strcmp(a, b) || std::strcmp(a, b);
}
EOF
printf '#include "src/Shared.h"\nbool One() { return Same("a", "b"); }\n' >"$work/src/One.cpp"
printf '#include "src/Shared.h"\nbool Two() { return Same("b", "a"); }\n' >"$work/src/Two.cpp"
echo 'int Broken() { return undeclared; }' >"$work/src/Broken.cpp"
{
    echo '['
    for f in Long Clean Moved One Two Broken; do
        echo "{\"directory\": \"$work/build\", \"command\": \"c++ -I$work -std=c++20 -c $work/src/$f.cpp\", \"file\": \"$work/src/$f.cpp\"},"
    done | sed '$ s/,$//'
    echo ']'
} >"$work/build/compile_commands.json"
(cd "$work" && git init -q && git add -A)

failures=0
# files | allow-list line | pass or fail | what the output must hold | and must not
cases=(
    'src/Clean.cpp||pass||'
    'src/Long.cpp||fail|src/Long.cpp: function Long has 7|'
    'src/Long.cpp|src/Long.cpp Long 200|pass||'
    'src/Long.cpp|src/Long.cpp Long 61|fail|function Long has grown to 7|'
    'src/Long.cpp|src/Other.cpp Long 200|fail|src/Long.cpp: function Long has 7|'
    'src/Moved.cpp||fail|src/Moved.cpp:5: [bugprone-use-after-move]|'
    'src/Broken.cpp||fail|src/Broken.cpp:1: [clang-diagnostic-error]|'
    'src/One.cpp src/Two.cpp||fail|src/Shared.h:3: [bugprone-suspicious-string-compare]|src/One.cpp'
)
for c in "${cases[@]}"; do
    IFS='|' read -r files allowed expect message absent <<<"$c"
    echo "$allowed" >"$work/scripts/function-size-allow.txt"
    # shellcheck disable=SC2086 # the files are a list
    output=$("$work/scripts/check-tidy.sh" "$work/build" $files 2>&1)
    status=$?
    want=0
    [ "$expect" = pass ] || want=1
    if [ $status -ne $want ]; then
        echo "FAIL: $files with '$allowed': exit $status, expected $want; output: $output" >&2
        failures=$((failures + 1))
    elif [ -n "$message" ] && ! grep -qF -- "$message" <<<"$output"; then
        echo "FAIL: $files with '$allowed': output lacks '$message': $output" >&2
        failures=$((failures + 1))
    elif [ -n "$absent" ] && grep -qF -- "$absent" <<<"$output"; then
        echo "FAIL: $files with '$allowed': output holds '$absent': $output" >&2
        failures=$((failures + 1))
    fi
done
# The header's finding, told by both sources, is one line.
count=$(grep -c 'src/Shared.h:3:' <<<"$output")
if [ "$count" -ne 1 ]; then
    echo "FAIL: the header's finding is told $count times: $output" >&2
    failures=$((failures + 1))
fi

[ $failures -eq 0 ] && echo "check-tidy: all cases pass"
exit $((failures > 0))
