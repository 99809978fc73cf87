# Shared by the scripts in tools/: the Debian packages the project needs and
# a way to install the missing ones.

# What building and testing need; ffmpeg is the converter the program runs,
# PulseAudio the sound server a test previews through, Qt's Linguist tools and
# translations the languages, help2man the manual page.
BUILD_PACKAGES=(g++ make cmake pkgconf clang-format qt6-base-dev qt6-5compat-dev libsdl2-dev libsndfile1-dev libicu-dev
                ffmpeg qt6-tools-dev qt6-l10n-tools qt6-translations-l10n pulseaudio pulseaudio-utils help2man)

# Installs the named Debian packages that are not installed yet (as root, or
# through sudo).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Missing packages: ${missing[*]} (run as root or install sudo)" >&2; return 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds the tree in the given folder with warnings as errors;
# extra arguments go to the configure step. BUILD_TARGET, when set, names the
# one target to build.
build_tree() {
    local dir=$1; shift
    cmake -S "$ROOT" -B "$dir" -DMARROWBY_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
