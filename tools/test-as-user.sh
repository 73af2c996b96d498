#!/usr/bin/env bash
# Runs the README's test command again as a normal user in group dialout, as root only:
# root ignores exclusive ports and file modes, so a suite that passes for root alone can
# hide what a user meets. The user (zo-test unless $ZO_TEST_USER names another) is made
# if need be; the tree is copied, without build outputs, into a folder it owns, and built
# and tested there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
user=${ZO_TEST_USER:-zo-test}
if [ "$(id -u)" -ne 0 ]; then
    echo "test-as-user: run as root; a normal user runs tools/test.sh itself" >&2
    exit 2
fi
if ! id "$user" >/dev/null 2>&1; then
    useradd --create-home --shell /bin/bash --groups dialout "$user"
fi
id -nG "$user" | grep -qw dialout || usermod -a -G dialout "$user"
home=$(getent passwd "$user" | cut -d: -f6)
work=$home/zo-config
rm -rf "$work"
mkdir -p "$work"
tar -C "$here" --exclude=./build --exclude='./build-*' -cf - . | tar -C "$work" -xf -
chown -R "$user:" "$work"
# A login-like environment: the user's own home, no display, no root's variables.
runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+CMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} \
    bash "$work/tools/test.sh" "$@"
