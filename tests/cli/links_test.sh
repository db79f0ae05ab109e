#!/usr/bin/env bash
# barcodegen-cli starts without the window's libraries: it needs no Qt and no
# fontconfig; ZXing-C++ comes only with the module that --verify loads, and
# librsvg and poppler only with the one it loads for drawings. Every library
# loaded at start-up costs time.
#
# Usage: links_test.sh PROGRAM MODULE...
set -uo pipefail
program=$1
shift
status=0
libraries=$(ldd "$program") || { echo "FAIL: ldd $program" >&2; exit 1; }
for banned in 'libQt' 'libfontconfig' 'libZXing' 'librsvg' 'libpoppler' 'libcairo' 'libglib'; do
    if grep -q "$banned" <<<"$libraries"; then
        echo "FAIL: $program loads $banned at start-up:" >&2
        grep "$banned" <<<"$libraries" >&2
        status=1
    fi
done
# The modules must resolve all they need.
for module in "$@"; do
    if ldd -r "$module" 2>&1 | grep -q 'undefined symbol\|not found'; then
        echo "FAIL: $module does not load:" >&2
        ldd -r "$module" >&2
        status=1
    fi
done
exit $status
