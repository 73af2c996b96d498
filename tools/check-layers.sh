#!/usr/bin/env bash
# Checks that the folders, the CMake targets and the include graph agree:
#  - every folder with program sources is one library target (zo_core_library or
#    zo_ui_library in its CMakeLists.txt);
#  - a folder includes headers only from folders whose targets its own target links,
#    directly or through others, so target_link_libraries shows every dependency;
#  - neither the include graph between folders nor the link graph has a cycle;
#  - core folders include no Qt header.
# Prints every breach and exits 1 if there is one.
# Usage: check-layers.sh [--print] [SOURCE_DIR]
#   --print: also list each target's folder and the targets it links directly.
set -euo pipefail
print=0
if [ "${1:-}" = --print ]; then
    print=1
    shift
fi
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

failed=0
fail() {
    echo "check-layers: $*" >&2
    failed=1
}

# Folders holding program code: everything but the tests and the build trees.
mapfile -t folders < <(find . -path ./tests -prune -o -path './build*' -prune -o -path ./.git -prune \
    -o -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%h\n' | sed 's#^\./##' | sort -u)

declare -A target_of kind_of folder_of deps
for folder in "${folders[@]}"; do
    cmake_file=$folder/CMakeLists.txt
    [ -f "$cmake_file" ] || continue
    line=$(grep -oE '^zo_(core|ui)_library\([a-z_0-9]+' "$cmake_file" | head -n1 || true)
    [ -n "$line" ] || continue
    target=${line#*(}
    target_of[$folder]=$target
    folder_of[$target]=$folder
    case $line in zo_core_library*) kind_of[$target]=core ;; *) kind_of[$target]=ui ;; esac
done

# Direct links between our own targets, from target_link_libraries in every CMakeLists.txt.
while IFS= read -r cmake_file; do
    # Join continuation lines so a call spread over several lines reads as one.
    { tr '\n' ' ' <"$cmake_file" | grep -oE 'target_link_libraries\([^)]*\)' || true; } | while IFS= read -r call; do
        read -r -a words <<<"${call#target_link_libraries(}"
        from=${words[0]}
        for word in "${words[@]:1}"; do
            word=${word%)}
            if [[ $word == zo_* && -n ${kind_of[$word]:-} ]]; then
                echo "$from $word"
            fi
        done
    done
done < <(find . \( -path './build*' -o -path ./.git \) -prune -o -name CMakeLists.txt -print) >"${TMPDIR:-/tmp}/zo-links.$$"
while read -r from to; do
    deps[$from]+=" $to"
done <"${TMPDIR:-/tmp}/zo-links.$$"

# Everything a target reaches through its links.
declare -A closure
reach() {
    local target=$1 seen=" " stack=("$1") t d
    while [ ${#stack[@]} -gt 0 ]; do
        t=${stack[-1]}
        unset 'stack[-1]'
        for d in ${deps[$t]:-}; do
            if [[ $seen != *" $d "* ]]; then
                seen+="$d "
                stack+=("$d")
            fi
        done
    done
    closure[$target]=$seen
}
for target in "${!kind_of[@]}"; do
    reach "$target"
done

edges_file=${TMPDIR:-/tmp}/zo-edges.$$
trap 'rm -f "$edges_file" "${TMPDIR:-/tmp}/zo-links.$$"' EXIT
: >"$edges_file"
for folder in "${folders[@]}"; do
    target=${target_of[$folder]:-}
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [ -f "$file" ] || continue
        if [ -n "$target" ] && [ "${kind_of[$target]}" = core ] && grep -qE '^\s*#\s*include\s*<Q' "$file"; then
            fail "$file: core target $target includes a Qt header"
        fi
        while IFS= read -r header; do
            [[ $header == */* ]] || continue
            to=${header%/*}
            [ "$to" = "$folder" ] && continue
            [ -d "$to" ] || continue
            echo "$folder $to" >>"$edges_file"
            to_target=${target_of[$to]:-}
            if [ -n "$target" ] && [ -n "$to_target" ] && [[ ${closure[$target]} != *" $to_target "* ]]; then
                fail "$file includes $header, but $target does not link $to_target"
            fi
            if [ -n "$target" ] && [ -z "$to_target" ]; then
                fail "$file includes $header from $to, which is no library target"
            fi
        done < <(sed -nE 's/^\s*#\s*include\s*"([^"]+)".*/\1/p' "$file")
    done
done

for folder in "${folders[@]}"; do
    if [ -z "${target_of[$folder]:-}" ] && ls "$folder"/*.cpp >/dev/null 2>&1 &&
        ! grep -qs 'add_executable' "$folder/CMakeLists.txt" "$folder/../CMakeLists.txt"; then
        fail "$folder holds sources but is no target of its own"
    fi
done

if ! sort -u "$edges_file" | tsort >/dev/null 2>"$edges_file.loop"; then
    fail "the folders include each other in a circle:"
    grep -v 'input contains a loop' "$edges_file.loop" | sed 's/^tsort: /  /' >&2
fi
rm -f "$edges_file.loop"
if ! tsort <"${TMPDIR:-/tmp}/zo-links.$$" >/dev/null 2>&1; then
    fail "the targets link each other in a circle"
fi

if [ "$print" -eq 1 ]; then
    for target in "${!kind_of[@]}"; do
        echo "$target (${folder_of[$target]}, ${kind_of[$target]}):$(tr ' ' '\n' <<<"${deps[$target]:-}" | sort -u | tr '\n' ' ')"
    done | sort
fi
if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-layers: ${#kind_of[@]} targets, $(sort -u "$edges_file" | wc -l) folder dependencies, no cycle"
