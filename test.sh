#!/usr/bin/env bash
# Installs what is missing, builds under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through ctest.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build="$here/build-test"
configure_and_build "$build" "" loud -DCMAKE_BUILD_TYPE=Debug -DBARCODEGEN_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
cd "$build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp"
ctest --output-on-failure -j2 --timeout 300
