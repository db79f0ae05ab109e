#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program: without arguments
# the window, with arguments the command-line generator (see ./run.sh --help).
# Only the program writes to standard output: installing and building report
# on stderr.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"

build="$here/build"
target=barcodegen-cli
[ $# -eq 0 ] && target=barcodegen
configure_and_build "$build" $target quiet -DCMAKE_BUILD_TYPE=Release \
    -DBARCODEGEN_TESTS=OFF -DBARCODEGEN_BENCH=OFF

cd "$OLDPWD"
if [ $# -eq 0 ]; then
    exec "$build/app/barcodegen"
fi
exec "$build/cli/barcodegen-cli" "$@"
