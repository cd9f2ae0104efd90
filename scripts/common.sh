# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.

POSKIT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
POSKIT_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-microhei fonts-freefont-ttf qt6-translations-l10n
    desktop-file-utils appstream dpkg-dev file man-db lintian
    libzint-dev
)
# The fuzz targets (scripts/fuzz): Debian's clang, and the compiler-rt package
# that holds libFuzzer and clang's sanitizer run-times.
POSKIT_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

poskit_install_missing() {
    local missing=() pkg
    for pkg in "${POSKIT_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# poskit_build DIR [cmake options...]
poskit_build() {
    local dir="$1"
    shift
    cmake -S "$POSKIT_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
