#!/usr/bin/env bash
# Installs what is missing, checks the sources (formatting, the direction of
# includes between layers), builds under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test through ctest and clang-tidy over
# the sources. Every check runs even when one before it failed; the last lines
# name those that failed, and what each took.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

failed=()
took=()
# check NAME command...: runs one check, noting its time and whether it failed.
check() {
    local name="$1" start=$SECONDS
    shift
    "$@" || failed+=("$name")
    took+=("$name $((SECONDS - start)) s")
}

check format scripts/check-format.sh
check layers scripts/check-layers.sh

build="$here/build-test"
configure_and_build "$build" "" loud -DCMAKE_BUILD_TYPE=Debug -DBARCODEGEN_SANITIZE=ON -DBARCODEGEN_WERROR=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp"
check ctest ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
check clang-tidy scripts/check-tidy.sh "$build"

echo "Took: $(IFS=,; echo "${took[*]}" | sed 's/,/, /g')" >&2
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed: ${failed[*]}" >&2
    exit 1
fi
