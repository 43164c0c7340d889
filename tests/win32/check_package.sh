#!/usr/bin/env bash
# The zip for Windows users: the DLL it was given, a read-me that Notepad
# shows (UTF-8 with a byte-order mark, CR LF), and a sample word list in
# Windows-1251 that the plug-in in the zip walks through under Wine. The
# same sources give the same bytes.
set -euo pipefail
root=$1 wine_run=$2 prefix=$3 host=$4 dll=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

zip=$("$root/scripts/package.sh" --dll "$dll" --out-dir "$work/out") || fail "package.sh failed"
[[ $zip == "$work/out/TPP_25Frame-1.04-win32.zip" ]] || fail "zip named $zip"
cp "$zip" "$work/first.zip"
"$root/scripts/package.sh" --dll "$dll" --out-dir "$work/out" >/dev/null
cmp -s "$zip" "$work/first.zip" || fail "two runs gave different zips"

folder=TPP_25Frame-1.04-win32
entries=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[[ $entries == "$folder/ $folder/TPP_25Frame.dll $folder/readme.txt $folder/words.dic " ]] || fail "entries: $entries"
unzip -q "$zip" -d "$work"
cmp -s "$dll" "$work/$folder/TPP_25Frame.dll" || fail "the DLL in the zip is not the one given"

readme=$work/$folder/readme.txt
[[ $(head -c 3 "$readme" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "read-me without a byte-order mark"
grep -qv $'\r$' "$readme" && fail "read-me lines not ended by CR LF"
for text in "TPP_25Frame 1.04" "TPP_25Frame.dll" 'Plugins' 'StoreInUsersFolder' 'words.dic' 'Прозрачность' \
  'Удаление' 'Юникод' 'Windows-1251' '(\*\.txt)' 'Только чтение' 'UTF-8 с BOM' 'OutlineWidth' 'KeepProportions' \
  'Отмена — остаться' 'любом языке'; do
  grep -q "$text" "$readme" || fail "read-me says nothing of $text"
done

dic=$work/$folder/words.dic
words=$(iconv -f CP1251 -t UTF-8 "$dic") || fail "words.dic is not Windows-1251"
# Lower-case Russian in Windows-1251 is E0..FF, with B8 for ё. grep finds
# no bad line (status 1), or fails the test.
bad=$(LC_ALL=C grep -v -P '^[a-z]+ - [\xE0-\xFF\xB8]+( [\xE0-\xFF\xB8]+)*\r$' "$dic") || (($? == 1)) ||
  fail "grep failed"
[[ -z $bad ]] || fail "words.dic lines not 'word - перевод': $(iconv -f CP1251 -t UTF-8 <<<"$bad")"
(($(wc -l <<<"$words") >= 30)) || fail "words.dic holds only $(wc -l <<<"$words") entries"

# The plug-in in the zip takes its captions from the word list, in order.
run=$work/run
mkdir -p "$run/Plugins"
cp "$host" "$run/host.exe"
cp "$work/$folder/TPP_25Frame.dll" "$work/$folder/words.dic" "$run/"
dic_win="Z:${run//\//\\}\\words.dic"
printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nRulesType=0\r\nShowFreqFrom=1\r\nShowFreqTo=1\r\n' \
  "$dic_win" >"$run/Plugins/TPP_25Frame.ini"
"$wine_run" "$prefix" "$run/host.exe" --plugin "$run/TPP_25Frame.dll" --size 320x240 --frames 5 \
  </dev/zero >/dev/null 2>"$work/log" || fail "host: $(cat "$work/log")"
grep -q 'the plug-in changed 5,' "$work/log" || fail "no captions from words.dic: $(cat "$work/log")"
grep -qx $'CurExtEntry=5\r' "$run/Plugins/TPP_25Frame.ini" || fail "walk: $(grep CurExtEntry "$run/Plugins/TPP_25Frame.ini")"
cmp -s "$dic" "$run/words.dic" || fail "the word list was rewritten"
echo "package: $(basename "$zip"), $(wc -l <<<"$words") words, read-me for Notepad"
