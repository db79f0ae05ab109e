# Installs the Debian packages the project needs, when some are missing, and
# runs build steps so that a failure shows what went wrong.
# Sourced by run.sh and test.sh; call ensure_packages with the package names.

ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "These Debian packages are missing: ${missing[*]}" >&2
        echo "Install them as root (apt-get install ${missing[*]}) or run this script as root." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq "${missing[@]}" >&2
}

# What building and running the program needs.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins qt6-svg-dev libgl-dev
    zlib1g-dev libjpeg62-turbo-dev libzxing-dev libpoppler-cpp-dev fonts-wine fonts-liberation2
    fonts-dejavu-core
    libfreetype-dev libharfbuzz-dev libpng-dev librsvg2-dev)
# What the tests and benchmarks need on top (the install test validates the
# desktop entry and the AppStream data, renders the manual pages, runs the
# completion and makes a folder immutable; test.sh checks the formatting and
# runs clang-tidy).
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev zbar-tools zxing-cpp-tools librsvg2-bin
    poppler-utils desktop-file-utils appstream man-db bash-completion e2fsprogs qpdf
    clang-format clang-tidy)
# What scripts/build-deb.sh needs on top: dpkg-shlibdeps and file, which
# CPack calls to find the libraries' packages.
DEB_PACKAGES=(dpkg-dev file)
# What bench/batch_vs_zint.sh needs on top: the generator it times against, and
# GNU time for peak memory, hyperfine for single runs.
BENCH_PACKAGES=(zint time hyperfine)
# What fuzz/run.sh needs on top: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# build_step quiet|loud command...: runs a configure or build command with its
# output on stderr (stdout may carry a picture). Quiet keeps the output back
# unless the command fails; either way a failure ends the script with its status.
build_step() {
    local mode="$1"
    shift
    local status=0
    if [ "$mode" = loud ]; then
        "$@" >&2 || status=$?
    else
        local log
        log="$(mktemp)"
        "$@" >"$log" 2>&1 || status=$?
        [ $status -eq 0 ] || cat "$log" >&2
        rm -f "$log"
    fi
    if [ $status -ne 0 ]; then
        echo "Failed (exit status $status): $*" >&2
        exit $status
    fi
}

# configure_and_build BUILD_DIR TARGET quiet|loud [cmake options...]: the first
# build of a folder shows its progress; later ones are as the third argument says.
configure_and_build() {
    local build="$1" target="$2" mode="$3"
    shift 3
    [ -f "$build/build.ninja" ] || mode=loud
    [ -f "$build/build.ninja" ] || echo "First build in $build: this takes a few minutes." >&2
    build_step $mode cmake -S . -B "$build" -G Ninja "$@"
    build_step $mode ninja -C "$build" -j2 $target
}
