#!/usr/bin/env bash
# Builds the Debian package of both programs from a Release build in
# build-deb/ (installed into /usr): barcodegen_VERSION_ARCH.deb, its
# dependencies computed by dpkg-shlibdeps. Prints the package's path on
# standard output; install it with  apt-get install ./barcodegen_*.deb
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${DEB_PACKAGES[@]}"

build="$here/build-deb"
configure_and_build "$build" "" quiet -DCMAKE_BUILD_TYPE=Release -DBARCODEGEN_TESTS=OFF \
    -DBARCODEGEN_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$build"/barcodegen_*.deb
(cd "$build" && build_step quiet cpack -G DEB)
ls "$build"/barcodegen_*.deb
