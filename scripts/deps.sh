# Installs the Debian packages the project needs, when some are missing.
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
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
}

# What building and running the program needs.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins qt6-svg-dev libgl-dev
    zlib1g-dev fonts-wine fonts-liberation2 fonts-dejavu-core)
# What the tests and benchmarks need on top.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev zbar-tools zxing-cpp-tools)
