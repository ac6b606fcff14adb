#!/bin/sh
# Walks zorstudio's sources for every text marked for translation (Tr, TrGbk, N_) and
# checks that each catalogue has it, translated and not fuzzy, with matching formats.
set -eu
sources=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$sources" \( -name '*.cpp' -o -name '*.h' \) | sort > "$work/files"
# A message put on the message line, given as a failure or printed as an English
# literal never reaches the catalogue: it has to go through Tr.
unmarked=$(grep -nP '\b(Tell|Failed|Fail)\("|printf\((stderr, )?"(?!zorstudio: %s)[A-Za-z]' $(cat "$work/files") || true)
test -z "$unmarked" || { echo "texts not marked for translation:"; echo "$unmarked"; exit 1; }
xgettext --language=C++ --from-code=UTF-8 --keyword=Tr --keyword=TrGbk --keyword=N_ \
  --files-from="$work/files" -o "$work/zorstudio.pot"
test "$(grep -c '^msgid' "$work/zorstudio.pot")" -gt 100 || { echo "too few texts found in $sources"; exit 1; }
for po in "$sources"/po/*.po; do
  msgcmp "$po" "$work/zorstudio.pot"
  stats=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1)
  case $stats in
    *untranslated*|*fuzzy*) echo "$po: $stats"; exit 1 ;;
  esac
  # A text no source has any more is a catalogue left behind.
  obsolete=$(msgcomm --less-than=2 --no-location "$po" "$work/zorstudio.pot" | grep -c '^msgid' || true)
  test "$obsolete" -le 1 || { echo "$po has texts no source uses:"; msgcomm --less-than=2 --no-location "$po" "$work/zorstudio.pot"; exit 1; }
  echo "$po: $stats"
done
