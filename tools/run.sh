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
# The clip and the help file are looked up in the current directory, which the build
# tree holds; relative paths given as arguments are taken from there too.
cd "$build"
exec ./zo-config "$@"
