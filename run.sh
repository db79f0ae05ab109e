#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Arguments go to
# the command-line generator (see ./run.sh --help).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"

build="$here/build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBARCODEGEN_TESTS=OFF -DBARCODEGEN_BENCH=OFF >/dev/null
ninja -C "$build" -j2 barcodegen-cli >/dev/null

cd "$OLDPWD"
if [ $# -eq 0 ]; then
    exec "$build/cli/barcodegen-cli" --help
fi
exec "$build/cli/barcodegen-cli" "$@"
