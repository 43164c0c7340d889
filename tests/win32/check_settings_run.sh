#!/usr/bin/env bash
# The real DLL in the reference host keeps its settings beside the host:
# Init creates Plugins/TPP_25Frame.ini, Exit rewrites its section
# "PluginSettings" and keeps the others; the alternative dictionary's stored
# index is kept inside the list and a walk continues from it after a restart.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=private-copy.sh
source "$(dirname "$0")/private-copy.sh" host.exe "$@"
ini=$dir/Plugins/TPP_25Frame.ini
run() { "$wine_run" "$prefix" "$dir/host.exe" --plugin "$dir/TPP_25Frame.dll" --size 320x240 "$@" </dev/zero >/dev/null 2>&1; }
crlf() { sed 's/$/\r/'; }

# No settings file: all defaults. The built-in index is 0, or -1 while the
# built-in dictionary is empty; with no alternative dictionary its index is -1.
run --frames 0
[[ -f $ini ]] || fail "no settings file after the run"
expected=$(cat <<'INI' | crlf
[PluginSettings]
DlgWndPosX=-100
DlgWndPosY=-100
DicType=0
DicFileName=
StringPosX=634
StringPosY=537
RndStringPos=1
FontName=Arial
FontSize=-40
FontWeight=400
FontItalic=0
FontUnderline=0
FontStrikeOut=0
FontCharSet=204
TextColor=41215
BackColor=16777215
Transparency=100
BackType=0
ShowFreqFrom=12
ShowFreqTo=12
ShowTimeFrom=1
ShowTimeTo=1
RulesType=2
CurIntEntry=@
CurExtEntry=-1
OutlineWidth=0
OutlineColor=0
ShadowOffset=0
ShadowColor=0
BoxPadding=0
KeepProportions=0
INI
)
actual=$(sed -E 's/^CurIntEntry=(0|-1)\r$/CurIntEntry=@\r/' "$ini")
[[ "$actual" == "$expected" ]] || { diff <(echo "$expected") <(echo "$actual") | cat -A; fail "defaults file differs"; }
[[ $(wc -l <"$ini") -eq 32 ]] || fail "not 32 lines"
[[ $(tail -c 2 "$ini" | od -An -c | tr -d ' ') == '\r\n' ]] || fail "last line not ended by CR LF"
echo "defaults: 32 lines as expected"

# An alternative dictionary with a stale stored index and a DEFAULT section.
dic_unix=$dir/words.dic
dic_win="Z:${dic_unix//\//\\}"
printf 'd - 4\r\nb - 2\r\nc - 3\r\na - 1\r\n' >"$dic_unix"
printf '[DEFAULT]\r\nFontName=Courier\r\n[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nRulesType=0\r\nCurExtEntry=10\r\n' \
  "$dic_win" >"$ini"
run --frames 0
grep -qx $'CurExtEntry=3\r' "$ini" || fail "stale index not kept inside the list: $(grep CurExtEntry "$ini")"
grep -qx "DicFileName=${dic_win//\\/\\\\}"$'\r' "$ini" || fail "dictionary name not kept"
[[ $(head -n 2 "$ini") == $'[DEFAULT]\r\nFontName=Courier\r' ]] || fail "the DEFAULT section was not kept: $(cat "$ini")"
[[ $(wc -l <"$ini") -eq 34 ]] || fail "not 34 lines"
cmp -s "$dic_unix" <(printf 'd - 4\r\nb - 2\r\nc - 3\r\na - 1\r\n') || fail "an unchanged dictionary was rewritten"

# Each run moves the "A - Z" walk on by the same number of captions, starting
# where the last run stopped.
index() { sed -n 's/^CurExtEntry=\(-\?[0-9]*\)\r$/\1/p' "$ini"; }
run --frames 30
first=$(index)
run --frames 30
second=$(index)
(( (first - 3 + 4) % 4 == (second - first + 4) % 4 )) || fail "walk did not continue: 3 -> $first -> $second"
echo "alternative dictionary: index 10 kept as 3, then $first, then $second"

# A dictionary file that does not exist yet is created empty.
printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\n' "${dic_win%words.dic}new.dic" >"$ini"
run --frames 0
[[ -f $dir/new.dic && ! -s $dir/new.dic ]] || fail "missing dictionary not created empty"
grep -qx $'CurExtEntry=-1\r' "$ini" || fail "index of an empty dictionary is not -1"
echo "missing dictionary created empty"
