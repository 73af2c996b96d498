#!/usr/bin/env bash
# Checks what `cmake --install` gives a user: installs into a temporary folder under the
# /usr prefix the package uses, then starts both installed programs, validates both desktop
# entries and the AppStream entry, renders both man pages and loads the bash completion.
# Needs no display and no network.
#   tools/check-install.sh            build dir: $ZO_BUILD_DIR or build/
#   tools/check-install.sh --package  also makes the .deb with cpack and checks it, with
#                                     lintian (any error or warning fails)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZO_BUILD_DIR:-$here/build}
package=0
[ "${1:-}" = --package ] && package=1

fail() {
    echo "check-install: $*" >&2
    exit 1
}

if [ ! -f "$build/CMakeCache.txt" ]; then
    bash "$here/tools/build.sh" --test
fi
# Only what is installed; up to date this costs nothing.
cmake --build "$build" --target zo-config zo-cardsim zo_globe_clip zo_icons zo_dist_files >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root=$stage/usr
share=$root/share/zo-config

for f in bin/zo-config bin/zo-cardsim share/zo-config/globe.avi share/zo-config/ksfxzo.hlp \
    share/icons/hicolor/128x128/apps/zo-config.png share/icons/hicolor/16x16/apps/zo-config.png \
    share/man/man1/zo-config.1.gz share/man/man1/zo-cardsim.1.gz \
    share/doc/zo-config/copyright share/doc/zo-config/changelog.gz \
    share/bash-completion/completions/zo-config \
    share/applications/zo-config.desktop share/applications/zo-config-simulated.desktop; do
    [ -s "$root/$f" ] || fail "$f is not installed"
done

version=$(grep -m1 '^CMAKE_PROJECT_VERSION:' "$build/CMakeCache.txt" | cut -d= -f2)
out=$("$root/bin/zo-config" --version) || fail "zo-config --version failed"
[ "$out" = "zo-config $version" ] || fail "zo-config --version said '$out'"
out=$("$root/bin/zo-cardsim" --help) || fail "zo-cardsim --help failed"
grep -q -- '--link PATH' <<<"$out" || fail "zo-cardsim --help lists no --link"
# The installed program in its data folder, as the desktop entry starts it.
(cd "$share" && "$root/bin/zo-config" --registry "$stage/store.db" profiles >/dev/null) ||
    fail "the installed zo-config cannot use a store"

for entry in zo-config zo-config-simulated; do
    file=$root/share/applications/$entry.desktop
    desktop-file-validate "$file" || fail "$entry.desktop is not valid"
    grep -qx 'Path=/usr/share/zo-config' "$file" || fail "$entry.desktop does not start in /usr/share/zo-config"
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$file")
    [ -x "$stage$exec" ] || fail "$entry.desktop runs $exec, which is not installed"
done
grep -q '^Exec=.* --simulate$' "$root/share/applications/zo-config-simulated.desktop" ||
    fail "the second entry does not start the simulated card"

for page in zo-config zo-cardsim; do
    warnings=$(gzip -dc "$root/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    if command -v man >/dev/null; then
        text=$(MANWIDTH=80 man -l "$root/share/man/man1/$page.1.gz" 2>/dev/null) || text=
        grep -q "^NAME" <<<"$text" || fail "$page.1 does not render"
    fi
done

metainfo=$(ls "$root"/share/metainfo/*.metainfo.xml 2>/dev/null | head -n1)
[ -n "$metainfo" ] || fail "no AppStream metainfo is installed"
command -v appstreamcli >/dev/null || fail "appstreamcli is not installed (tools/setup.sh installs it)"
if ! findings=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    echo "$findings" >&2
    fail "$(basename "$metainfo") does not validate"
fi
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$root/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
for binary in zo-config zo-cardsim; do
    grep -q "<binary>$binary</binary>" "$metainfo" || fail "the metainfo does not provide $binary"
done

bash -c 'source "$1" && complete -p zo-config' _ "$root/share/bash-completion/completions/zo-config" \
    >/dev/null 2>&1 || fail "the bash completion does not load"

if [ $package -eq 1 ]; then
    (cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack failed"
    deb=$(ls -t "$build"/zo-config_*.deb | head -n1)
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6widgets6 libsqlite3-0; do
        grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
    done
    contents=$(dpkg-deb -c "$deb")
    grep -q './usr/bin/zo-config$' <<<"$contents" || fail "the package has no /usr/bin/zo-config"
    command -v lintian >/dev/null || fail "lintian is not installed (tools/setup.sh installs it)"
    if ! findings=$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1); then
        # Root gets a note that lintian prefers a normal user; only the findings matter.
        grep -v 'running with root privileges' <<<"$findings" >&2 || true
        fail "lintian finds errors or warnings in $(basename "$deb")"
    fi
    echo "check-install: $(basename "$deb") ($depends)"
fi
echo "check-install: ok"
