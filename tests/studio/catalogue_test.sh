#!/bin/sh
# Walks zorstudio's sources for every text marked for translation (Tr, TrGbk, N_), and
# the tools' shared code it shows messages of for every message it words (Say), and
# checks that each catalogue has them, translated and not fuzzy, with matching formats.
# Usage: catalogue_test.sh ZORSTUDIO_SOURCES SHARED_SOURCES...
set -eu
sources=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$sources" \( -name '*.cpp' -o -name '*.h' \) | sort > "$work/files"
find "$@" \( -name '*.cpp' -o -name '*.h' \) | sort > "$work/shared"
test -s "$work/shared" || { echo "no shared sources in $*"; exit 1; }
# A message put on the message line, given as a failure or printed as an English
# literal never reaches the catalogue: it has to go through Tr.
unmarked=$(grep -nP '\b(Tell|Failed|Fail)\("|printf\((stderr, )?"(?!zorstudio: %s)[A-Za-z]' $(cat "$work/files") || true)
test -z "$unmarked" || { echo "texts not marked for translation:"; echo "$unmarked"; exit 1; }
# In the shared code, a literal of three English words or more outside Say is a
# message that zorstudio would show in English; the one exception is the numbers'
# convention in the command-line tools' help.
unworded=$(perl -ne 'next if m{^\s*//} || $ARGV =~ m{/Numbers\.cpp$};
  while (/(Say\()?"((?:[^"\\]|\\.)*)"/g) { my ($said, $text) = ($1, $2);
    print "$ARGV:$.: \"$text\"\n" if !$said && $text =~ /\b[a-z]{2,} [a-z]+ [a-z]+/ }
  close ARGV if eof' $(cat "$work/shared"))
test -z "$unworded" || { echo "shared messages not worded through Say:"; echo "$unworded"; exit 1; }
xgettext --language=C++ --from-code=UTF-8 --keyword=Tr --keyword=TrGbk --keyword=N_ \
  --files-from="$work/files" -o "$work/studio.pot"
xgettext --language=C++ --from-code=UTF-8 --keyword=Say --files-from="$work/shared" -o "$work/shared.pot"
test "$(grep -c '^msgid' "$work/studio.pot")" -gt 100 || { echo "too few texts found in $sources"; exit 1; }
test "$(grep -c '^msgid' "$work/shared.pot")" -gt 50 || { echo "too few messages found in $*"; exit 1; }
msgcat --use-first "$work/studio.pot" "$work/shared.pot" -o "$work/zorstudio.pot"
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
