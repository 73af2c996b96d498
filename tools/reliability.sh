#!/usr/bin/env bash
# Puts the program under faults and hostile input and prints what it survived:
#   - the whole test suite under AddressSanitizer with UndefinedBehaviorSanitizer,
#   - the threaded tests (channel, simulated card, product page worker) under ThreadSanitizer,
#   - a fixed number of executions of every fuzz target from its seed corpus,
#   - the figures the fault tests print (crash loop, concurrent saves).
# Any finding fails the script. The figures table is what docs/reliability.md shows;
# `--update` writes it there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
base=${ZO_RELIABILITY_DIR:-$here/build-reliability}
runs=${ZO_FUZZ_RUNS:-20000}
jobs=$(nproc)
update=0
[ "${1:-}" = "--update" ] && update=1

bash "$here/tools/setup.sh" --test
mkdir -p "$base/logs"
log() { echo "== $*" >&2; }

# ctest's last word on a suite: "N% tests passed, F tests failed out of T".
suite_count() { grep -oE 'out of [0-9]+' "$1" | tail -n 1 | grep -oE '[0-9]+'; }

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# Qt is not built with ThreadSanitizer: its own locks are invisible, so accesses made inside
# it (its image thread pool) are left out; our code's accesses are all checked.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1

# The real-window suite judges painting against the clock, which a sanitizer's slowdown
# would judge instead; it runs in the plain build.
log "AddressSanitizer and UndefinedBehaviorSanitizer: the whole suite but the real-window one"
cmake -S "$here" -B "$base/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZO_SANITIZE=address >/dev/null
cmake --build "$base/asan" -j"$jobs" >"$base/logs/asan-build.txt"
(cd "$base/asan" && ctest -j"$jobs" --output-on-failure --timeout 600 -LE x11) >"$base/logs/asan.txt" 2>&1 ||
    { cat "$base/logs/asan.txt"; exit 1; }
asan_tests=$(suite_count "$base/logs/asan.txt")

log "Fault tests' figures"
figures=$({
    "$base/asan/tests/registry/zo_registry_tests" \
        --gtest_filter='HiveProcess.SurvivesBeingKilledMidSave'
    "$base/asan/tests/store/zo_store_tests" --gtest_filter='StoreFaults.TwoProgramsSavingAtOnce*'
} | grep '^\[figure\]' || true)
kills=$(sed -n 's/^\[figure\] crash-loop kills survived: //p' <<<"$figures")
saves=$(sed -n 's/^\[figure\] concurrent saves by two programs: //p' <<<"$figures")

log "ThreadSanitizer: the threaded tests"
# The test programs holding them, one per test folder; the Qt-free ones build without Qt.
threaded='zo-config zo-cardsim zo_link_tests zo_comm_tests zo_cardsim_tests zo_summary_tests'
threaded+=' zo_summary_ui_tests zo_wizard_ui_tests'
threaded_tests='ModemChannelTest|CardModelTest|EndToEndTest|PortScanTest|TtyDeviceTest'
threaded_tests+='|RefreshWorkerTest|ui.ProductPageTest'
# Card conversations run on a worker thread behind the windows.
threaded_tests+='|ui.ConversationTest|ui.SummarySheetTest|ui.WizardFinishTest'
cmake -S "$here" -B "$base/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZO_SANITIZE=thread >/dev/null
# shellcheck disable=SC2086
cmake --build "$base/tsan" -j"$jobs" --target $threaded >"$base/logs/tsan-build.txt"
(cd "$base/tsan" && ctest -j"$jobs" --output-on-failure --timeout 600 -R "$threaded_tests") \
    >"$base/logs/tsan.txt" 2>&1 || { cat "$base/logs/tsan.txt"; exit 1; }
tsan_tests=$(suite_count "$base/logs/tsan.txt")

log "Fuzz targets, $runs executions each"
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$base/fuzz" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZO_FUZZ=ON >/dev/null
targets=$(sed -n 's/^zo_fuzz_target(\([a-z_]*\) .*/\1/p' "$here/tests/fuzz/CMakeLists.txt")
# shellcheck disable=SC2046
cmake --build "$base/fuzz" -j"$jobs" --target $(printf 'fuzz_%s ' $targets) \
    >"$base/logs/fuzz-build.txt"
fuzz_rows=""
for t in $targets; do
    work=$(mktemp -d)
    cp -r "$here/tests/fuzz/corpus/$t/." "$work/"
    # Each target runs in its own directory: some leave files behind.
    if ! (cd "$work" && "$base/fuzz/tests/fuzz/fuzz_$t" -runs="$runs" -seed=1 -timeout=20 \
        -rss_limit_mb=2048 "$work" >"$base/logs/fuzz-$t.txt" 2>&1); then
        tail -n 40 "$base/logs/fuzz-$t.txt"
        echo "fuzz target $t found a fault; the input is in $work" >&2
        exit 1
    fi
    done_runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$base/logs/fuzz-$t.txt")
    seeds=$(find "$here/tests/fuzz/corpus/$t" -type f | wc -l)
    fuzz_rows+="| fuzz \`$t\` | $done_runs executions from $seeds seeds, no finding |"$'\n'
    rm -rf "$work"
done

table="| check | result |
|---|---|
| whole suite under AddressSanitizer + UndefinedBehaviorSanitizer | $asan_tests tests, all passed |
| threaded tests under ThreadSanitizer | $tsan_tests tests, all passed |
| store writer killed at random moments mid-save | $kills kills, store intact after each |
| profiles saved by two programs into one store at once | $saves saves, none lost or mixed |
${fuzz_rows}
Run of $(date -u +%Y-%m-%d) on $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME")."
echo "$table"

if [ "$update" = 1 ]; then
    doc="$here/docs/reliability.md"
    printf '%s\n' "$table" >"$base/logs/figures.md"
    awk -v figures="$base/logs/figures.md" '
        /<!-- \/figures -->/ { skip = 0 }
        !skip { print }
        /<!-- figures -->/ { while ((getline line < figures) > 0) print line; skip = 1 }
    ' "$doc" >"$doc.new" && mv "$doc.new" "$doc"
    log "figures written to docs/reliability.md"
fi
