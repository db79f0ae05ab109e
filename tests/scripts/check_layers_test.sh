#!/usr/bin/env bash
# scripts/check-layers.sh on a tree of its own: every wrong edge is named with
# its file and line, every right one passes.
# Usage: check_layers_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts"
cp "$source_dir/scripts/check-layers.sh" "$work/scripts/"
mkdir -p "$work"/{engine,symbologies,platform,picture,forms,complib,propsave,picexport,app,cli}
mkdir -p "$work"/{bench,tests,fuzz,extra,library,examples}

failures=0
# file | the line that includes | pass or fail | what the message must hold
cases=(
    'engine/A.cpp|#include "engine/B.h"|pass|'
    'engine/A.cpp|#include "symbologies/Code39.h"|fail|engine/A.cpp:2: engine/ may not include symbologies/'
    'engine/A.cpp|#include "platform/QtConvert.h"|fail|engine/ may not include platform/ (it may include: no other folder)'
    'symbologies/A.cpp|#include "engine/ZoBarcode.h"|pass|'
    'platform/A.h|#include "picture/FileIO.h"|fail|platform/A.h:2: platform/ may not include picture/'
    'picture/A.cpp|#include "platform/QtCanvas.h"|fail|picture/A.cpp:2: picture/ may not include platform/'
    'library/A.cpp|#include "picture/GeneratePicture.h"|pass|'
    'examples/A.cpp|#include "library/LibrarySupport.h"|fail|examples/ may not include library/'
    'forms/A.cpp|#include "complib/bdlg.h"|fail|forms/ may not include complib/'
    'propsave/A.cpp|#include "picture/FileIO.h"|pass|'
    'propsave/A.cpp|#include "app/f_main.h"|fail|propsave/ may not include app/'
    'cli/A.cpp|#include "forms/Form.h"|fail|cli/ may not include forms/'
    'cli/A.cpp|#include "complib/bdlg.h"|fail|cli/ may not include complib/'
    'app/A.cpp|#include "symbologies/Code39.h"|fail|app/ may not include symbologies/'
    'bench/A.cpp|#include "symbologies/Code39.h"|fail|bench/ may not include symbologies/'
    'tests/A.cpp|#include "symbologies/Code39.h"|pass|'
    'fuzz/A.cpp|#include "tests/Code128Reading.h"|pass|'
    'engine/A.cpp|  #  include "picture/FileIO.h"|fail|engine/A.cpp:2:'
    'engine/A.cpp|#include "ui_form.h"|pass|'
    'engine/A.cpp|#include "QtCore/qglobal.h"|pass|'
    'extra/A.cpp|#include "engine/B.h"|fail|folder extra/ has no row'
)
for c in "${cases[@]}"; do
    IFS='|' read -r file include expect message <<<"$c"
    mkdir -p "$work/$(dirname "$file")"
    printf '// a source\n%s\n' "$include" >"$work/$file"
    output=$("$work/scripts/check-layers.sh" "$file" 2>&1)
    status=$?
    want=0
    [ "$expect" = pass ] || want=1
    if [ $status -ne $want ]; then
        echo "FAIL: $file with '$include': exit $status, expected $want; output: $output" >&2
        failures=$((failures + 1))
    elif [ -n "$message" ] && ! grep -qF -- "$message" <<<"$output"; then
        echo "FAIL: $file with '$include': output lacks '$message': $output" >&2
        failures=$((failures + 1))
    fi
    rm -f "$work/$file"
done

# Several files at once: each wrong one is named, the right ones are not.
printf '#include "engine/B.h"\n' >"$work/cli/Good.cpp"
printf '#include "forms/Form.h"\n' >"$work/cli/Bad.cpp"
printf '\n\n#include "app/f_main.h"\n' >"$work/forms/Bad.h"
output=$("$work/scripts/check-layers.sh" cli/Good.cpp cli/Bad.cpp forms/Bad.h 2>&1)
if [ $? -ne 1 ] || ! grep -qF 'cli/Bad.cpp:1:' <<<"$output" ||
    ! grep -qF 'forms/Bad.h:3:' <<<"$output" || grep -qF 'cli/Good.cpp' <<<"$output"; then
    echo "FAIL: three files at once: $output" >&2
    failures=$((failures + 1))
fi

[ $failures -eq 0 ] && echo "check-layers: all cases pass"
exit $((failures > 0))
