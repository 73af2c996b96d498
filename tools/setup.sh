#!/usr/bin/env bash
# Installs every Debian package zo-config needs to build, run, test and package.
# As root it installs them; as a normal user it asks sudo to, and without sudo it
# prints the apt-get line to run as root.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev
    clang-14 libclang-rt-14-dev
    desktop-file-utils dpkg-dev file groff-base man-db
    lintian appstream
    xvfb openbox xdotool imagemagick x11-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "zo-config needs these packages; run as root:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "zo-config needs ${missing[*]}; installing them with sudo" >&2
    as_root=(sudo)
fi

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
