#!/usr/bin/env bash
# Checks that the command-line commands agree everywhere they are listed: the command table
# (app/cli/Commands.cpp) decides; the bash completion the build wrote from it offers the
# same commands in the same order and the manual page describes each of them, in that
# order and with the operands --help shows, under COMMANDS.
# Prints every disagreement and exits 1 if there is one.
# Usage: check-commands.sh [SOURCE_DIR [COMPLETION]]
#   COMPLETION: the generated completion (default: build/completion/zo-config)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
generated=${2:-build/completion/zo-config}
if [ ! -f "$generated" ]; then
    echo "check-commands: no generated completion at $generated (build first)" >&2
    exit 1
fi

table=$(sed -n '/^constexpr Command kCommands\[\] = {/,/^};/s/^    {"\([a-z][a-z]*\)",.*/\1/p' \
    app/cli/Commands.cpp | tr '\n' ' ')
completion=$(sed -n 's/^ *local commands="\([^"]*\)"$/\1/p' "$generated")
# Each entry of the section: the first word after .TP, with any font macro.
manual=$(awk '/^\.SH COMMANDS/ { on = 1; next } /^\.SH/ { on = 0 }
    on && after_tp { sub(/^\.B[IR]? /, ""); sub(/[ "].*/, ""); printf "%s ", $0 }
    { after_tp = on && /^\.TP/ }' docs/man/zo-config.1)
# Each command as --help shows it, and as the manual page's entry renders: a font macro's
# arguments run together (spaces only inside quotes), without the font changes.
table_synopses=$(sed -n '/^constexpr Command kCommands\[\] = {/,/^};/s/^    {"\([a-z][a-z]*\)", "\([^"]*\)".*/\1 \2/p' \
    app/cli/Commands.cpp | sed 's/ $//')
manual_synopses=$(awk '/^\.SH COMMANDS/ { on = 1; next } /^\.SH/ { on = 0 }
    on && after_tp {
        line = $0; sub(/^\.B[IR]? /, "", line); out = ""; quoted = 0
        for (i = 1; i <= length(line); i++) {
            c = substr(line, i, 1)
            if (c == "\"") quoted = !quoted
            else if (c != " " || quoted) out = out c
        }
        gsub(/\\f[BIRP]/, "", out); gsub(/\\-/, "-", out); print out
    }
    { after_tp = on && /^\.TP/ }' docs/man/zo-config.1)

failed=0
compare() {
    if [ "$(echo $2)" != "$(echo $table)" ]; then
        echo "check-commands: $1 lists '$(echo $2)', the command table '$(echo $table)'" >&2
        failed=1
    fi
}
if [ -z "$(echo $table)" ]; then
    echo "check-commands: no command found in app/cli/Commands.cpp" >&2
    exit 1
fi
compare "$generated" "$completion"
compare "docs/man/zo-config.1" "$manual"
if [ "$failed" -eq 0 ] && [ "$manual_synopses" != "$table_synopses" ]; then
    echo "check-commands: docs/man/zo-config.1 shows other operands than the command table:" >&2
    diff <(echo "$table_synopses") <(echo "$manual_synopses") | sed -n 's/^[<>] /  /p' >&2
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-commands: $(echo $table | wc -w) commands, the same in the completion and the manual page, with the same operands in the manual page"
