# Shared by run.sh and test.sh: install what is missing, configure and build.
# shellcheck shell=bash

# The SQL drivers for the shot journal (SQLite) and the plant archive (PostgreSQL); the
# PostgreSQL server only for the tests, which start their own in a temporary folder, as
# poppler-utils, with which they read the written reports back. Qt's own texts in German
# (file dialogs, standard buttons) and the picture formats beyond Qt's built-in ones (TIFF,
# WebP) for the oscilloscope picture.
VENTARO_PACKAGES=(g++ cmake ninja-build qtbase5-dev qttools5-dev qttools5-dev-tools
    libqt5sql5-sqlite libqt5sql5-psql postgresql poppler-utils qttranslations5-l10n
    qt5-image-formats-plugins)
# Only for tools/look.sh, which runs the application on a real X server by hand; neither the
# tests nor CI need them.
LOOK_PACKAGES=(xvfb xdotool imagemagick x11-utils)

ventaro_root() { cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd; }

# ensure_packages [PACKAGE...]: the given packages, by default those of the build.
ensure_packages() {
    if [ $# -eq 0 ]; then
        install_missing "${VENTARO_PACKAGES[@]}"
    else
        install_missing "$@"
    fi
}

ensure_look_packages() {
    install_missing "${LOOK_PACKAGES[@]}"
}

# install_missing PACKAGE...: apt-get install those not installed yet.
install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree DIR [cmake options...]: configure once, then build incrementally.
build_tree() {
    local dir=$1
    shift
    local root
    root=$(ventaro_root)
    if [ ! -f "$root/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
    cmake --build "$root/$dir" --parallel "$(nproc)"
    # Forms regenerated during that build can leave objects behind that were checked before
    # the new headers existed; a second pass is a no-op otherwise.
    cmake --build "$root/$dir" --parallel "$(nproc)"
}

# device_listening ADDR: true when a server listens on the IPv4 address ADDR, port 2222
# (the device port). Read from the kernel's socket table, so no connection is made: a
# connection would take the simulated device away from the PC it serves.
device_listening() {
    local a b c d
    IFS=. read -r a b c d <<<"$1"
    local want
    want=$(printf '%02X%02X%02X%02X:08AE' "$d" "$c" "$b" "$a")
    awk -v want="$want" '$4 == "0A" && ($2 == want || $2 == "00000000:08AE") { found = 1 }
        END { exit !found }' /proc/net/tcp
}
