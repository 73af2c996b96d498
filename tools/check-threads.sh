#!/usr/bin/env bash
# Builds the program with clang, whose thread-safety analysis checks every access to data
# marked as guarded by a mutex (platform/threads/ThreadAnnotations.h); a breach fails the
# build. The tests are left out: they reach no guarded data. Further arguments go to cmake.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZO_THREADS_BUILD_DIR:-$here/build-threads}
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "check-threads: built with clang's thread-safety analysis, no finding"
