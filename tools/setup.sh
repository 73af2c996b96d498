#!/usr/bin/env bash
# Installs the Debian packages zo-config needs: to build and run it, or with --test also
# those the test suite and the package check use. As root it installs them; as a normal
# user it asks sudo to, and where sudo cannot be used without a password prompt nobody can
# answer, or is not there, it prints the apt-get line to run as root.
set -euo pipefail

BUILD_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev sqlite3 gettext
)
TEST_PACKAGES=(
    libgtest-dev libgmock-dev
    clang-14 libclang-rt-14-dev
    desktop-file-utils dpkg-dev file groff-base man-db
    lintian appstream
    xvfb openbox xdotool wmctrl imagemagick x11-utils
)

PACKAGES=("${BUILD_PACKAGES[@]}")
if [ "${1:-}" = "--test" ]; then
    PACKAGES+=("${TEST_PACKAGES[@]}")
fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    # sudo may ask for a password only where someone can type it.
    if ! command -v sudo >/dev/null 2>&1 ||
        { ! sudo -n true 2>/dev/null && ! [ -t 0 ]; }; then
        echo "zo-config needs these packages; run as root:" >&2
        echo "  $line" >&2
        exit 1
    fi
    echo "zo-config needs ${missing[*]}; installing them with sudo" >&2
    as_root=(sudo)
fi

if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q ||
    ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    echo "zo-config could not install its packages; run as root:" >&2
    echo "  $line" >&2
    exit 1
fi
