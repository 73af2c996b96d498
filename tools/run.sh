#!/usr/bin/env bash
# Builds zo-config and runs it. Without a card attached (no --port given and
# no --registry), it runs against the built-in simulated card.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZO_BUILD_DIR:-$here/build}
bash "$here/tools/build.sh"
if [ $# -eq 0 ]; then
    set -- --simulate
fi
# Relative paths given as arguments are taken from the build tree.
cd "$build"
exec ./zo-config "$@"
