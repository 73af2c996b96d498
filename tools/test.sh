#!/usr/bin/env bash
# Builds zo-config with its tests and runs the whole suite with CTest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZO_BUILD_DIR:-$here/build}
bash "$here/tools/build.sh" --test
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
