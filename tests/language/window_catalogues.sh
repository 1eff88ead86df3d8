#!/bin/sh
# Every window text has its translation in every catalogue of translations/:
# lupdate is run over the sources into a copy of each .ts file, and the copy
# must hold no unfinished or vanished entry and no Cyrillic in an English
# translation.
# Usage: window_catalogues.sh LUPDATE SOURCE_DIR
set -eu
lupdate=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$source"/translations/*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    (cd "$source" && "$lupdate" -silent -I . ui app -ts "$copy" -locations none) >/dev/null
    if grep -q 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy"; then
        echo "$(basename "$ts"): texts without a translation or no longer used:" >&2
        grep -B2 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy" | grep '<source>' >&2
        status=1
    fi
    case "$ts" in
    *_en.ts)
        # Cyrillic letters begin with the bytes 0xD0 to 0xD3 in UTF-8.
        if grep '<translation>' "$copy" | LC_ALL=C grep -q "$(printf '[\320-\323]')"; then
            echo "$(basename "$ts"): Russian left in an English translation" >&2
            status=1
        fi
        ;;
    esac
done
exit $status
