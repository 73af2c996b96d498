#!/usr/bin/env bash
# Configures and builds zo-config into build/ (or $ZO_BUILD_DIR). With --test first it
# also installs the test tools and builds the tests; without, a machine that lacks the
# test libraries builds the program alone. Further arguments go to cmake.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZO_BUILD_DIR:-$here/build}
testing=()
if [ "${1:-}" = "--test" ]; then
    shift
    bash "$here/tools/setup.sh" --test
    testing=(-DBUILD_TESTING=ON)
else
    bash "$here/tools/setup.sh"
    if ! dpkg-query -W -f='${Status}' libgtest-dev 2>/dev/null | grep -q 'install ok installed'; then
        testing=(-DBUILD_TESTING=OFF)
    fi
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${ZO_BUILD_TYPE:-RelWithDebInfo} \
    "${testing[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
