#!/usr/bin/env bash
# Every text the program writes out for translation has a Turkish entry, and no entry is left
# empty or fuzzy: the texts marked in app/ (Tr, OptionText, RuntimeText, gettext_noop) against
# the "default" catalog as built (default.po with cport.po), and the serial component's texts
# against cport.po.
# usage: catalogs_complete.sh <source folder>
set -euo pipefail
top=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keywords=(--keyword --keyword=Tr --keyword=OptionText --keyword=RuntimeText --keyword=gettext_noop)
extract() { xgettext --from-code=UTF-8 --language=C++ "${keywords[@]}" --no-location -o "$1" "${@:2}"; }

(cd "$top" && find app -name '*.cpp' | sort) >"$work/app-files"
(cd "$top" && extract "$work/app.pot" -f "$work/app-files" serial/ComErrors.cpp)
(cd "$top" && extract "$work/cport.pot" serial/ComErrors.cpp)
status=0
for po in "$top"/resources/locale/*/default.po; do
  lang=$(basename "$(dirname "$po")")
  msgcat --use-first -o "$work/$lang.po" "$po" "$top/resources/locale/$lang/cport.po"
  msgcmp "$work/$lang.po" "$work/app.pot" 2> >(grep -v "is not used" >&2) || { echo "$lang: texts of the program without an entry" >&2; status=1; }
  msgcmp "$top/resources/locale/$lang/cport.po" "$work/cport.pot" ||
    { echo "$lang: serial texts without an entry in cport.po" >&2; status=1; }
  for each in "$work/$lang.po" "$top/resources/locale/$lang/cport.po"; do
    left=$(msgattrib --untranslated --no-obsolete "$each" | grep -c '^msgid' || true)
    fuzzy=$(msgattrib --only-fuzzy --no-obsolete "$each" | grep -c '^msgid' || true)
    # The header entry counts once in msgattrib's output.
    [ "$left" -le 1 ] && [ "$fuzzy" -eq 0 ] || { echo "$each: $left untranslated, $fuzzy fuzzy" >&2; status=1; }
  done
done
[ $status -eq 0 ] && echo "every marked text has its translation"
exit $status
