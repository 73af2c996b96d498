#!/usr/bin/env bash
# The bash completion against the built zo-config: options, commands, and the profile
# names of the store the command line names. Usage: CompletionTest.sh SCRIPT ZO_CONFIG
set -euo pipefail
script=$1
program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
# shellcheck source=/dev/null
source "$script"

failures=0
# complete EXPECTED WORD...: completes the last WORD as typed (bash hands words over
# with their quoting) and compares the candidates, one a line in order, with EXPECTED.
complete_words() {
    local expected=$1
    shift
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    local line="zo-config $*"
    COMPREPLY=()
    _zo_config
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d')
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$line'" >&2
        echo "  expected: $(tr '\n' '|' <<<"$expected")" >&2
        echo "  got:      $(tr '\n' '|' <<<"$got")" >&2
        failures=$((failures + 1))
    fi
}

complete_words "--version" --ver
complete_words "--registry" --reg
complete_words $'--simulate=COM1\n--simulate=COM2\n--simulate=COM3\n--simulate=COM4' --simulate=COM
complete_words $'profiles\nprobe' pr
# Every command --help lists, in its order.
complete_words "$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\).*/\1/p')" ""
complete_words "apply" --port COM1=/dev/ttyUSB0 ap
complete_words $'COM1=\nCOM2=\nCOM3=\nCOM4=' --port CO

# No store yet: no names, and the Tab did not make one.
complete_words "" show ""
[[ ! -e $XDG_DATA_HOME/zo-config/registry.db ]] || {
    echo "FAIL: completing created the store" >&2
    failures=$((failures + 1))
}

reg=$work/profiles.reg
printf '%s\r\n' REGEDIT4 "" \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\KEST\PCCARD\My Office]' '"Location"="My Office"' "" \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\KEST\PCCARD\Home]' '"Location"="Home"' >"$reg"
"$program" --registry "$work/named.db" import "$reg" >/dev/null
mkdir -p "$XDG_DATA_HOME/zo-config"
"$program" --registry "$XDG_DATA_HOME/zo-config/registry.db" import "$reg" >/dev/null

for command in show apply remove; do
    complete_words $'My\\ Office\nHome' --registry "$work/named.db" "$command" ""
done
complete_words 'My\ Office' "--registry=$work/named.db" show M
complete_words 'My\ Office' --registry "$work/named.db" show 'My\ O'
complete_words "Home" apply H
# The demo store is another store, and it does not exist here.
complete_words "" --simulate show ""
# Names only for the command's own argument, and not for other commands.
complete_words "" show Home ""
complete_words "" probe ""
complete_words $'ports\nport' po
# The first argument by the kinds of the operands --help shows: files, COM names and the
# option word of identify, whichever may come first.
complete_words "$reg" import "$work/prof"
complete_words "$reg" export "$work/prof"
complete_words $'COM1\nCOM2\nCOM3\nCOM4\n--raw' identify ""
complete_words "--raw" identify --
complete_words "" identify COM1 ""
# "[COMn]" is no pattern for the files where the Tab is pressed.
mkdir "$work/cwd" && touch "$work/cwd/C" "$work/cwd/-"
pushd "$work/cwd" >/dev/null
complete_words $'COM1\nCOM2\nCOM3\nCOM4\n--raw' identify ""
popd >/dev/null
complete_words $'COM1=\nCOM2=\nCOM3=\nCOM4=' port ""
# After COMn= only devices that are there, whole or split at the '=' as bash may hand it.
for dev in $(COMP_WORDS=(x) _zo_config_devices); do
    [[ -e $dev ]] || { echo "FAIL: offered $dev, which is not there" >&2; failures=$((failures + 1)); }
done
complete_words "" port COM2=/nonexistent/tty
complete_words "" --port COM2 = /nonexistent/tty

# Two devices in place of the machine's: what bash is handed back is its own last word, the
# part after the last '=' when it split the word there.
_zo_config_devices() { printf '%s\n' /dev/ttyUSB0 /dev/ttyS4; }
complete_words $'COM1=/dev/ttyUSB0\nCOM1=/dev/ttyS4' --port COM1=
complete_words $'=/dev/ttyUSB0\n=/dev/ttyS4' --port COM1 =
complete_words "/dev/ttyUSB0" --port COM1 = /dev/ttyU
complete_words $'--port=COM3=/dev/ttyUSB0\n--port=COM3=/dev/ttyS4' --port=COM3=
complete_words "/dev/ttyS4" --port = COM3 = /dev/ttyS
complete_words $'COM1=\nCOM2=\nCOM3=\nCOM4=' --port = ""
complete_words "COM2=/dev/ttyS4" port COM2=/dev/ttyS
complete_words "COM2" --simulate = COM2
# A mapping split by bash, or a Qt option's value, is no command.
complete_words "apply" --port COM1 = /dev/ttyUSB0 ap
complete_words "apply" -style Fusion ap
complete_words "apply" --platform offscreen -reverse ap
complete_words "" -style ""

if [[ $failures -ne 0 ]]; then
    echo "$failures completion case(s) failed" >&2
    exit 1
fi
echo "completion: all cases passed"
