#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a packager or a user's
# `cmake --install` does, and checks what the desktop and the user find there:
# the files and nothing else, the desktop entry and the AppStream data valid,
# the manual pages rendering, the completion completing, the installed
# generator drawing a code that reads back, the library exporting only its
# header's names and the example program built against it through CMake and
# through pkg-config, and the window, started from a prefix it may not write
# into, keeping its settings under XDG_CONFIG_HOME.
#
# Usage: install_test.sh BUILD_DIR APP_ID SOURCE_DIR
# Exit status 77 (a skip) when the prefix cannot be made read-only here. A
# run killed outright may leave BUILD_DIR/install-test.*/usr/bin immutable:
# chattr -i it before removing the build folder.
set -uo pipefail
build=$1
app_id=$2
source_dir=$3
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
libdir=$(cached CMAKE_INSTALL_LIBDIR)
build_type=$(cached CMAKE_BUILD_TYPE | tr '[:upper:]' '[:lower:]')
version=$(sed -n 's/^#define BARCODEGEN_VERSION "\(.*\)"$/\1/p' \
    "$build/library/include/barcodegen/version.h")
# MAJOR.MINOR.PATCH names the file; a 0.x library changes its soname with
# each minor version, later with each major.
file_version=$version
[ "$(tr -cd . <<<"$version")" = . ] && file_version=$version.0
soversion=${version%%.*}
[ "$soversion" = 0 ] && soversion=$(cut -d. -f1,2 <<<"$version")

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d "$build/install-test.XXXXXX")
prefix=$work/usr
cleanup() {
    chattr -i "$prefix/bin" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    fail "cmake --install"
    exit 1
fi

# ---- the installed tree: these files, and no other (no archive, no test; the modules --verify loads)
expected="bin/barcodegen
bin/barcodegen-cli
$libdir/barcodegen/barcodegen-render.so
$libdir/barcodegen/barcodegen-verify.so
include/barcodegen/barcodegen.h
include/barcodegen/version.h
$libdir/cmake/barcodegen/barcodegenConfig.cmake
$libdir/cmake/barcodegen/barcodegenConfigVersion.cmake
$libdir/cmake/barcodegen/barcodegenTargets-${build_type:-noconfig}.cmake
$libdir/cmake/barcodegen/barcodegenTargets.cmake
$libdir/libbarcodegen.so
$libdir/libbarcodegen.so.$soversion
$libdir/libbarcodegen.so.$file_version
$libdir/pkgconfig/barcodegen.pc
share/applications/$app_id.desktop
share/barcodegen/about.html
share/bash-completion/completions/barcodegen-cli
share/doc/barcodegen/gs1-syntax-dictionary/LICENSE
share/doc/barcodegen/gs1-syntax-dictionary/README.md
share/icons/hicolor/scalable/apps/$app_id.svg
share/man/man1/barcodegen-cli.1.gz
share/man/man1/barcodegen.1.gz
share/metainfo/$app_id.metainfo.xml"
actual=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    fail "installed files differ from the expected ones:"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") >&2
fi
for program in barcodegen barcodegen-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# ---- what the desktop reads
desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate $metainfo"; }
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ -x "$prefix/bin/$(entry Exec)" ] || fail "Exec=$(entry Exec) names no installed program"
icon=$prefix/share/icons/hicolor/scalable/apps/$(entry Icon).svg
rsvg-convert -w 48 -h 48 "$icon" -o "$work/icon.png" 2>/dev/null && [ -s "$work/icon.png" ] ||
    fail "Icon=$(entry Icon) names no icon that renders"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream data does not launch $app_id.desktop"

# ---- the manual pages render without a warning; barcodegen-cli's names every
# option its --help names
for page in barcodegen barcodegen-cli; do
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" >"$work/$page.txt" \
        2>"$work/$page.err"
    [ -s "$work/$page.err" ] && { cat "$work/$page.err" >&2; fail "man -l $page.1.gz warns"; }
    grep -q "^NAME" "$work/$page.txt" || fail "man -l $page.1.gz shows no NAME"
done
for option in $("$prefix/bin/barcodegen-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" "$work/barcodegen-cli.txt" || fail "barcodegen-cli(1) lacks $option"
done

# ---- the completion: what it offers after what is typed
completion=$prefix/share/bash-completion/completions/barcodegen-cli
touch "$work/codes.txt"
complete_line() {
    bash -c 'source /usr/share/bash-completion/bash_completion
             source "$1"; shift
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _barcodegen_cli
             [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ "$completion" "$@"
}
while IFS='|' read -r line offered; do
    read -r -a words <<<"$line"
    [[ $line == *" " ]] && words+=("")
    got=$(complete_line barcodegen-cli "${words[@]}")
    [ "$got" = "$offered" ] || fail "completing '$line' offers '$got', not '$offered'"
done <<EOF_CASES
-t ean-1|ean-128 ean-13 
-t gs1|gs1-128 gs1-128a gs1-128b gs1-128c 
-t itf|itf itf14 
--type=upc-|upc-a upc-e upc-supp2 upc-supp5 
-f p|pdf png 
--no-|--no-border --no-check-digit --no-quiet-zone --no-text 
--border |
--batch $work/codes.t|$work/codes.txt 
EOF_CASES

# ---- the installed generator
cli=$prefix/bin/barcodegen-cli
"$cli" -t ean13 -o "$work/x.png" 590123412345 || fail "installed barcodegen-cli did not draw"
[ "$(zbarimg -q --raw "$work/x.png" 2>/dev/null)" = 5901234123457 ] ||
    fail "the installed generator's EAN-13 does not read back"
# --verify reads through the installed modules, found from bin/.
for format in png svg pdf; do
    LD_DEBUG=files "$cli" --verify -o "$work/x.$format" 590123412345 2>"$work/verify.log" ||
        { cat "$work/verify.log" >&2; fail "installed barcodegen-cli --verify $format"; }
    grep -q "file=.*/$libdir/barcodegen/barcodegen-verify.so" "$work/verify.log" ||
        fail "--verify of $format did not load the installed reading module"
    [ $format = png ] || grep -q "file=.*/$libdir/barcodegen/barcodegen-render.so" "$work/verify.log" ||
        fail "--verify of $format did not load the installed rendering module"
done
[ "$("$cli" --version | awk '{print $NF}')" = "$("$prefix/bin/barcodegen" --version | awk '{print $NF}')" ] ||
    fail "the two programs tell different versions"

# ---- the library: its soname, only its header's names exported, a header
# that shows nothing of the engine
lib=$prefix/$libdir/libbarcodegen.so
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libbarcodegen.so.$soversion" ] || fail "the library's soname is '$soname'"
[ "$(readlink "$lib")" = "$soname" ] || fail "libbarcodegen.so does not lead to $soname"
exported=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt)
[ -n "$exported" ] || fail "the library exports nothing"
leaked=$(grep -v 'barcodegen::' <<<"$exported")
[ -z "$leaked" ] || fail "the library exports more than its header's names: $(head -5 <<<"$leaked")"
headers=$prefix/include/barcodegen
grep -n 'private:\|protected:' "$headers"/*.h && fail "an installed header shows private members"
grep -h '^#include "' "$headers"/*.h | grep -v '"barcodegen/' &&
    fail "an installed header includes what is not installed"

# The example program, against the installed library only: built by its own
# CMake project through find_package, and by one compiler call through
# pkg-config. A library built with the sanitizers needs them in its programs.
example_flags=()
readelf -d "$lib" | grep -q 'libasan' && example_flags=(-fsanitize=address,undefined)
label_matches_cli() {
    local label=$1 how=$2
    (cd "$work" && "$label" 590123412345 ean-13 "label-$how.png" >"label-$how.txt") ||
        { fail "the example built through $how did not run"; return; }
    [ "$(cat "$work/label-$how.txt")" = "$("$cli" --pattern -t ean-13 590123412345)" ] ||
        fail "the example built through $how prints another text or pattern than barcodegen-cli"
    # The command line's options give the command line's bytes.
    "$cli" -t ean-13 --size 600x300 --dpi 300 -o "$work/cli-label.png" 590123412345
    cmp -s "$work/label-$how.png" "$work/cli-label.png" ||
        fail "the example's PNG (through $how) differs from barcodegen-cli's"
    [ "$(zbarimg -q --raw "$work/label-$how.png" 2>/dev/null)" = 5901234123457 ] ||
        fail "the example's PNG (through $how) does not read back"
    local needed
    needed=$(readelf -d "$label" | grep NEEDED)
    grep -q "\[$soname\]" <<<"$needed" || fail "the example (through $how) does not load $soname"
    grep -q 'freetype\|libz\.\|libjpeg' <<<"$needed" &&
        fail "the library's own dependencies reach the example's link (through $how)"
}
if cmake -S "$source_dir/examples" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_FLAGS="${example_flags[*]} -Wall -Wextra -Werror" >"$work/example.log" 2>&1 &&
    cmake --build "$work/example" >>"$work/example.log" 2>&1; then
    label_matches_cli "$work/example/label" cmake
else
    cat "$work/example.log" >&2
    fail "the example does not build against the installed package with CMake"
fi
pc() { PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config "$@" barcodegen; }
pc --exists || fail "pkg-config does not find barcodegen"
[ "$(pc --modversion)" = "$version" ] || fail "pkg-config tells version $(pc --modversion)"
grep -q -- "-I$prefix/include\b" <<<"$(pc --cflags)" || fail "pkg-config --cflags: $(pc --cflags)"
[ "$(pc --cflags-only-I | wc -w)" -eq 1 ] || fail "pkg-config --cflags names more than our headers"
libs=$(pc --libs)
[ "$(echo $libs)" = "-L$prefix/$libdir -lbarcodegen" ] || fail "pkg-config --libs: $libs"
grep -q -- -lfreetype <<<"$(pc --static --libs)" ||
    fail "pkg-config names no private dependency: $(pc --static --libs)"
# shellcheck disable=SC2046
if g++ -std=c++17 -Wall -Wextra -Werror -pedantic "${example_flags[@]}" \
    "$source_dir/examples/label.cpp" $(pc --cflags --libs) -Wl,-rpath,"$prefix/$libdir" \
    -o "$work/label-pc" 2>"$work/example-pc.log"; then
    label_matches_cli "$work/label-pc" pkg-config
else
    cat "$work/example-pc.log" >&2
    fail "the example does not build through pkg-config"
fi

# ---- the window from a prefix it may not write into
chmod a-w "$prefix/bin"
[ "$(id -u)" -eq 0 ] && chattr +i "$prefix/bin" 2>/dev/null
if touch "$prefix/bin/probe" 2>/dev/null; then
    echo "SKIP: $prefix/bin cannot be made read-only here" >&2
    [ $failures -eq 0 ] && exit 77
    exit 1
fi
config=$work/config
settings=$config/barcodegen/barcodegen.ini
window=$prefix/bin/barcodegen

# --help needs no display and names the file
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$config" \
    "$window" --help) || fail "barcodegen --help failed"
grep -qF "Settings file now: $settings" <<<"$help" || fail "barcodegen --help does not name $settings"
XDG_CONFIG_HOME="$config" "$window" --no-such-option 2>/dev/null
[ $? -eq 2 ] || fail "an unknown argument is no usage error"

# The window listens for SIGTERM once its handler is in place: the handler only
# wakes the event loop, so a SIGTERM that comes before the loop runs waits for
# it and still closes the window well. Before the handler SIGTERM ends the
# program at once (status 143). The pid is at first the shell's forked child,
# which shows the shell's own handlers until it execs the program: only the
# program's name with the SIGTERM bit counts. 0 ready, 1 not yet, 2 ended.
window_name=$(basename "$window" | cut -c1-15)
window_state() {
    local line name="" state="" mask=0
    while IFS= read -r line; do
        case $line in
        Name:*) name=${line#Name:} ;;
        State:*) state=${line#State:} ;;
        SigCgt:*) mask=${line#SigCgt:} ;;
        esac
    done 2>/dev/null <"/proc/$1/status" || return 2
    name=${name//[[:space:]]/}
    state=${state//[[:space:]]/}
    mask=${mask//[[:space:]]/}
    [ "${state:0:1}" = Z ] && return 2
    [ "$name" = "$window_name" ] && (((16#$mask >> 14) & 1)) && return 0
    return 1
}

# Starts the window offscreen and closes it with SIGTERM once it listens for
# it. With "again" SIGTERM comes every 20 ms until the program has ended, as
# timeout(1) and a closing terminal send it twice: it must still end well.
# A loaded machine may take long to start it; one that never gets it ready
# is told so, not killed into a misleading status.
window_ready_seconds=180
run_window() {
    XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen "$window" 2>"$work/window.err" &
    local pid=$! waited=0 state deadline=$((SECONDS + window_ready_seconds))
    while window_state $pid; state=$?; [ $state -eq 1 ] && [ $SECONDS -lt $deadline ]; do
        sleep 0.2
    done
    if [ $state -eq 2 ]; then
        wait $pid
        local ended=$?
        cat "$work/window.err" >&2
        fail "the window ended by itself with status $ended before it listened for SIGTERM"
        return
    fi
    if [ $state -ne 0 ]; then
        kill -KILL $pid
        wait $pid
        cat "$work/window.err" >&2
        fail "the window never became ready: no SIGTERM handler after $window_ready_seconds s"
        return
    fi
    kill -TERM $pid
    for ((waited = 0; waited < 3000; waited++)); do
        kill -0 $pid 2>/dev/null || break
        [ "${1:-}" = again ] && kill -TERM $pid 2>/dev/null
        sleep 0.02
    done
    if kill -0 $pid 2>/dev/null; then
        kill -KILL $pid
        fail "the window did not close on SIGTERM (a message box?)"
    fi
    wait $pid
    local status=$?
    [ $status -eq 0 ] || { cat "$work/window.err" >&2; fail "the window ended with status $status"; }
}

run_window
[ -f "$settings" ] || fail "no settings in $settings"
grep -q '^\[Main_XY\]' "$settings" && grep -q '^\[Main.eBorder\]' "$settings" ||
    fail "the settings lack the window's sections"
[ "$(ls -A "$prefix/bin")" = "$(printf 'barcodegen\nbarcodegen-cli')" ] ||
    fail "something was written beside the installed program"

# The next start reads that file and writes it anew: a code put into it comes
# back out, a key the window does not keep is gone.
sed -i 's/^\[Main.eCode\]\r$/&\nText=XDG-READ\r\nStale=1\r/; /^Text=\r$/d' "$settings"
run_window again
grep -q '^Text=XDG-READ' "$settings" || fail "the window did not read $settings"
grep -q '^Stale=' "$settings" && fail "the window did not write $settings anew"

[ $failures -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
echo "install tree, desktop files, manual pages, completion, library, example and settings: all good"
