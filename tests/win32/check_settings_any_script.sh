#!/usr/bin/env bash
# The real DLL in the reference host with settings files as users leave
# them: Notepad's UTF-8 without the mark naming a list under a Cyrillic
# folder, read under the test prefix's Western code page; a list under a
# Greek folder, which Windows-1251 cannot name, under the Russian one; and
# hand edits in another case and lines the plug-in does not know, which
# are read, told and kept.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=private-copy.sh
source "$(dirname "$0")/private-copy.sh" host.exe "$@"
mkdir "$dir/Plugins"
ini=$dir/Plugins/TPP_25Frame.ini
win() { local p="Z:$1"; echo "${p//\//\\}"; }
ffmpeg -v error -f lavfi -i "testsrc2=size=320x240:rate=25" -frames:v 30 -pix_fmt yuyv422 -f rawvideo -y "$dir/in"
run() {
  "$wine_run" "$prefix" "$dir/host.exe" --plugin "$dir/TPP_25Frame.dll" --size 320x240 --format yuy2 \
    --input "Z:$dir/in" --output "Z:$dir/out" --changed-frames "Z:$dir/changed" 2>"$dir/log" ||
    fail "host failed: $(cat "$dir/log")"
}
# Captions only come from the list here: an unreadable one gives none.
drew_captions() { [[ -s $dir/changed ]]; }

# 1. UTF-8 without the mark, a Cyrillic folder, code page 1252.
mkdir "$dir/слова"
printf 'cat - кошка\r\n' >"$dir/слова/words.dic"
list=$(win "$dir/слова/words.dic")
printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nShowFreqFrom=5\r\nShowFreqTo=5\r\n' "$list" >"$ini"
run
drew_captions || fail "UTF-8 settings file: no captions from $list: $(cat "$dir/log")"
grep -qx "DicFileName=${list//\\/\\\\}"$'\r' "$ini" || fail "the path was not written back as it came: $(grep DicFileName "$ini" | od -c | head)"
[[ $(head -c 3 "$ini") != $'\xEF\xBB\xBF' ]] || fail "a file without the mark got one"
echo "UTF-8 settings file without the mark: captions from a Cyrillic folder, path kept"

# 2. A Greek folder under code page 1251: the file written back is UTF-8.
mkdir "$dir/λέξεις"
printf 'dog - собака\r\n' >"$dir/λέξεις/words.dic"
list=$(win "$dir/λέξεις/words.dic")
printf '\xEF\xBB\xBF[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nShowFreqFrom=5\r\nShowFreqTo=5\r\n' "$list" >"$ini"
LC_ALL=ru_RU.UTF-8 run
drew_captions || fail "code page 1251: no captions from $list: $(cat "$dir/log")"
grep -qx "DicFileName=${list//\\/\\\\}"$'\r' "$ini" || fail "the Greek path was not kept"
echo "Greek folder under code page 1251: captions, path kept in UTF-8"

# 3. Hand edits: another case, and lines that set nothing.
printf '[pluginsettings]\r\ntextcolor=255\r\nBackType 1\r\n; a note of mine\r\nMyKey=7\r\nDicType=1\r\n' >"$ini"
printf 'DicFileName=%s\r\n' "$(win "$dir/слова/words.dic")" >>"$ini"
run
grep -qx $'TextColor=255\r' "$ini" || fail "textcolor=255 was not read: $(cat "$ini")"
[[ $(grep -ci '^\[pluginsettings\]' "$ini") -eq 1 ]] || fail "a second section was added: $(cat "$ini")"
for line in 'BackType 1' '; a note of mine' 'MyKey=7'; do
  grep -qxF "$line"$'\r' "$ini" || fail "the line \"$line\" was lost: $(cat "$ini")"
done
grep -q 'the plug-in said: .*the line "BackType 1" sets nothing' "$dir/log" || fail "BackType 1 was not told: $(cat "$dir/log")"
grep -q 'the plug-in said: .*the line "MyKey=7" sets nothing' "$dir/log" || fail "MyKey=7 was not told"
! grep -q 'a note of mine' "$dir/log" || fail "a comment was told as unread"
echo "hand edits: read regardless of case, unknown lines told and kept"
