#!/usr/bin/env bash
# The translators' side of the texts the program shows (gettext, domain zo-config).
# Usage: translations.sh pot FILE     write the catalogue template of the sources to FILE
#        translations.sh update       bring every po/LANG.po in step with the sources
#        translations.sh check        fail when a po/LANG.po lacks a text of the sources,
#                                     leaves one untranslated or fuzzy, or keeps one the
#                                     sources no longer have, or when a source hands an
#                                     unmarked text to a message
# Texts are marked with Tr("...") or N_("..."); the dialog templates' helpers Text, Group,
# Page and NumberPart take theirs as marked too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

pot() {
    # The programs' folders (zo-config and zo-cardsim); the tests, the bench and the
    # drawing tools speak English only.
    mapfile -t sources < <(find app platform res store link wizard summary pages cardsim \
        -type f \( -name '*.cpp' -o -name '*.h' \) | LC_ALL=C sort)
    xgettext --from-code=UTF-8 --language=C++ --no-wrap \
        --package-name=zo-config --msgid-bugs-address=zo-config@example.org \
        --add-comments=TRANSLATORS: \
        -k -kTr -kN_ -kText:1 -kGroup:1 -kPage:2 -kNumberPart:3 \
        -o "$1" "${sources[@]}" 2>"$tmp/xgettext.log" || {
        cat "$tmp/xgettext.log" >&2
        exit 1
    }
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

case "${1:-}" in
    pot)
        pot "$2"
        ;;
    update)
        pot "$tmp/zo-config.pot"
        for po in po/*.po; do
            msgmerge --quiet --update --backup=none --no-wrap "$po" "$tmp/zo-config.pot"
        done
        ;;
    check)
        pot "$tmp/zo-config.pot"
        failed=0
        for po in po/*.po; do
            # Every text of the sources, translated and not fuzzy.
            if ! msgcmp "$po" "$tmp/zo-config.pot" 2>"$tmp/err"; then
                echo "$po: not in step with the sources:" >&2
                cat "$tmp/err" >&2
                failed=1
            fi
            stats=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1)
            if [[ "$stats" == *fuzzy* || "$stats" == *untranslated* ]]; then
                echo "$po: $stats" >&2
                failed=1
            fi
            # And no text the sources dropped.
            obsolete=$(msgattrib --only-obsolete --no-wrap "$po" | grep -c '^#~ msgid' || true)
            extra=$(msgcomm --less-than=2 --no-wrap "$po" "$tmp/zo-config.pot" -o - |
                grep -c '^msgid "..*"' || true)
            if [ "$obsolete" -ne 0 ] || [ "$extra" -ne 0 ]; then
                echo "$po: texts the sources no longer have (run tools/translations.sh update)" >&2
                failed=1
            fi
        done
        # A text with words handed straight to a reason, a stream or a failure helper
        # without Tr is a message left in English. The clip reader's errors are never
        # shown, and the byte trace is a record kept in English.
        unmarked=$(grep -rnE --include='*.cpp' --include='*.h' \
            -e '(\*error|\*why|m_[a-zA-Z]*Error|m_probeOutcome)[[:space:]]*\+?=[[:space:]]*"[^"]*[a-z]{2,} [a-z]' \
            -e '(std::cerr|std::cout|\berr|\bout)[[:space:]]*<<[[:space:]]*"[^"]*[a-z]{2,} [a-z]' \
            -e '\b(Fail|Refuse|Error|Usage|Ask|Report|StoreFailure|push_back)\([^")]*"[^"]*[a-z]{2,} [a-z]' \
            app platform res store link wizard summary pages cardsim |
            grep -v '^platform/media/' | grep -vE 'Tr\(|N_\(|^[^:]*:[0-9]+:[[:space:]]*//' || true)
        if [ -n "$unmarked" ]; then
            echo "texts not marked for translation (wrap them in res::Tr):" >&2
            echo "$unmarked" >&2
            failed=1
        fi
        exit $failed
        ;;
    *)
        sed -n '2,10p' "$0" >&2
        exit 2
        ;;
esac
