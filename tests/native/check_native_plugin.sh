#!/usr/bin/env bash
# The Linux plug-in in the native host: exactly the two exports, captions on
# the default schedule in both formats, monochrome glyphs in the exact text
# colour, the settings file beside the host or in the per-user folder, and
# what the summary says of files that cannot be written or were missing.
set -euo pipefail
host=$1 plugin=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A private copy: the plug-in keeps its settings beside the host.
cp "$host" "$dir/tpp-host"
cp "$plugin" "$dir/TPP_25Frame.so"
ini=$dir/Plugins/TPP_25Frame.ini
fail() { echo "FAIL: $*"; exit 1; }

exports=$(nm -D --defined-only "$dir/TPP_25Frame.so" | awk '{print $3}' | sort | tr '\n' ' ')
[[ $exports == "Telvoria_Plugin_PR Telvoria_Plugin_Version " ]] || fail "exports: $exports"
# Captured first: grep -q stops reading early, and the host would see a broken pipe.
info=$("$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" --info) || fail "--info exit"
grep -qx 'version: 3' <<<"$info" || fail "--info"
help=$("$dir/tpp-host" --help) || fail "--help exit"
grep -q -- '--plugin PATH' <<<"$help" || fail "--help: $help"
grep -q -e '--window' -e '--rate' -e 'DLL' <<<"$help" && fail "--help offers what Linux lacks: $help"

run() {  # format width height frames [environment...]
  local format=$1 width=$2 height=$3 frames=$4 bpp=2
  shift 4
  [[ $format == yuy2 ]] || bpp=3
  head -c $((width * height * bpp * frames)) /dev/zero >"$dir/in"
  env "$@" "$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" --size "${width}x$height" --format "$format" \
    --input "$dir/in" --output "$dir/out" --changed-frames "$dir/changed" 2>"$dir/log" ||
    fail "$format: host failed: $(cat "$dir/log")"
}

for format in yuy2 rgb24; do
  rm -rf "$dir/Plugins"
  run "$format" 720 576 30
  [[ $(tr '\n' ' ' <"$dir/changed") == "1 13 25 " ]] || fail "$format: changed frames $(tr '\n' ' ' <"$dir/changed")"
  grep -q '^ShowFreqFrom=' "$ini" || fail "$format: no settings file written at $ini"
done

# Every pixel of every frame is either untouched black or exactly the text
# colour (41215: bytes 0 160 255): no smoothed edge anywhere.
printf '[PluginSettings]\nShowFreqFrom=1\nShowFreqTo=1\nShowTimeFrom=1\nShowTimeTo=1\nBackType=0\nTransparency=100\n' >"$ini"
run rgb24 640 360 4
[[ $(wc -l <"$dir/changed") -eq 4 ]] || fail "not every frame drawn: $(tr '\n' ' ' <"$dir/changed")"
colours=$(od -An -v -tu1 -w3 "$dir/out" | awk '{print $1, $2, $3}' | sort -u | tr '\n' ';')
[[ $colours == "0 0 0;0 160 255;" ]] || fail "pixels other than black and the text colour: $colours"

# An outline is exactly its colour too (255: bytes 0 0 255), round the letters.
printf '[PluginSettings]\nShowFreqFrom=1\nShowFreqTo=1\nOutlineWidth=2\nOutlineColor=255\n' >"$ini"
run rgb24 640 360 2
colours=$(od -An -v -tu1 -w3 "$dir/out" | awk '{print $1, $2, $3}' | sort -u | tr '\n' ';')
[[ $colours == "0 0 0;0 0 255;0 160 255;" ]] || fail "outlined pixels other than black, outline and text: $colours"

# Letters or outline in the colour that BackType none leaves out are said
# again in the summary, once.
for key in TextColor OutlineColor; do
  printf '[PluginSettings]\nShowFreqFrom=1\nShowFreqTo=1\nOutlineWidth=2\n%s=16777215\n' "$key" >"$ini"
  run rgb24 320 240 3
  said=$(grep -c "^tpp-host: the plug-in said: TPP_25Frame: $key=16777215 is BackColor" "$dir/log" || true)
  [[ $said == 1 ]] || fail "$key as the key colour: said $said times: $(cat "$dir/log")"
done

# Asked for, the settings live under the XDG configuration folder instead.
mkdir -p "$dir/config/Telvoria"
run yuy2 320 240 2 TPP_STORE_IN_USERS_FOLDER=1 XDG_CONFIG_HOME="$dir/config"
[[ -f $dir/config/Telvoria/Plugins/TPP_25Frame.ini ]] || fail "no per-user settings file"

# Run as an ordinary user (root writes any file): a settings file the user
# may read but not write is read, and its save at Exit, which fails, is
# said under the summary, the file kept; a named word list that is missing
# is created empty, and said so.
as_user() {
  if ((EUID == 0)); then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}
user=$dir/user
plugins=$user/config/Telvoria/Plugins
mkdir -p "$plugins"
printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nShowFreqFrom=1\r\nShowFreqTo=1\r\n' "$user/words.dic" \
  >"$plugins/TPP_25Frame.ini"
cp "$plugins/TPP_25Frame.ini" "$dir/settings-before"
chmod 444 "$plugins/TPP_25Frame.ini"
if ((EUID == 0)); then chown -R 65534:65534 "$user"; fi
chmod 755 "$dir"
head -c $((320 * 240 * 2 * 2)) /dev/zero >"$dir/in"
as_user env TPP_STORE_IN_USERS_FOLDER=1 XDG_CONFIG_HOME="$user/config" "$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" \
  --size 320x240 --input "$dir/in" --output /dev/null 2>"$dir/log" || fail "as a user: $(cat "$dir/log")"
grep -q "^tpp-host: the plug-in said: TPP_25Frame: Settings file \"$plugins/TPP_25Frame.ini\" cannot be written (it is read-only)" \
  "$dir/log" || fail "a read-only settings file's failed save was not said: $(cat "$dir/log")"
grep -q "^tpp-host: the plug-in said: TPP_25Frame: Word list \"$user/words.dic\" did not exist: it was created empty" \
  "$dir/log" || fail "a missing word list made empty was not said: $(cat "$dir/log")"
cmp -s "$plugins/TPP_25Frame.ini" "$dir/settings-before" || fail "the read-only settings file changed"
[[ -f $user/words.dic && ! -s $user/words.dic ]] || fail "the missing word list was not created empty"

# A frame cut short is reported, after the complete ones are written.
head -c $((320 * 240 * 2 + 100)) /dev/zero >"$dir/in"
if "$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" --size 320x240 --input "$dir/in" --output "$dir/out" 2>"$dir/log"; then
  fail "a truncated frame was accepted"
fi
grep -q 'ends inside frame 2' "$dir/log" || fail "truncation message: $(cat "$dir/log")"
[[ $(stat -c %s "$dir/out") -eq $((320 * 240 * 2)) ]] || fail "the complete frame was not written"
# A reader that stops early ends the run with an error, and the plug-in
# still saves its settings at Exit.
rm -f "$ini"
head -c $((320 * 240 * 2 * 20)) /dev/zero >"$dir/in"
set +e
"$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" --size 320x240 --input "$dir/in" 2>"$dir/log" | head -c 1000 >/dev/null
status=${PIPESTATUS[0]}
set -e
((status == 1)) || fail "a closed output pipe gave exit status $status"
grep -q 'cannot write standard output' "$dir/log" || fail "closed pipe message: $(cat "$dir/log")"
[[ -f $ini ]] || fail "no settings saved after the output closed"
echo "native plug-in: all checks passed"
