#!/usr/bin/env bash
# Word lists whose lines part word from translation with an em dash, an en
# dash or a tab: the real DLL in the reference host draws every frame byte
# for byte as it does the same list with " - ", and a line with none of
# them is named once in the plug-in's trace, with its number.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 dll=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$host" "$dir/host.exe"
cp "$dll" "$dir/TPP_25Frame.dll"
mkdir "$dir/Plugins"
fail() { echo "FAIL: $*"; exit 1; }
width=384 height=288 frames=30
dic="Z:${dir//\//\\}\\words.dic"
printf '[PluginSettings]\r\nDicType=1\r\nRulesType=0\r\nDicFileName=%s\r\n' "$dic" >"$dir/Plugins/TPP_25Frame.ini"
ffmpeg -v error -f lavfi -i "testsrc2=size=${width}x$height:rate=25" -frames:v $frames -pix_fmt yuyv422 \
  -f rawvideo -y "$dir/in"

# The list in Windows-1251, as the DLL's users keep it: it has both dashes.
draw() {  # separator name
  printf 'cat%sкошка\nhouse%sдом\nЁлка%sfir\n' "$1" "$1" "$1" | iconv -f utf-8 -t cp1251 | sed 's/$/\r/' >"$dir/words.dic"
  "$wine_run" "$prefix" "$dir/host.exe" --plugin "$dir/TPP_25Frame.dll" --size "${width}x$height" --format yuy2 \
    --input "Z:$dir/in" --output "Z:$dir/out.$2" --changed-frames "Z:$dir/changed.$2" 2>"$dir/log.$2" ||
    fail "$2: host failed: $(cat "$dir/log.$2")"
}

draw ' - ' hyphen
[[ -s $dir/changed.hyphen ]] || fail "no captions at all"
for separator in em:' — ' en:' – ' tab:$'\t'; do
  name=${separator%%:*}
  draw "${separator#*:}" "$name"
  cmp -s "$dir/out.$name" "$dir/out.hyphen" || fail "the list with the $name separator draws other frames"
  ! grep -aq 'no separator' "$dir/log.$name" || fail "$name: lines named as unsplit: $(cat "$dir/log.$name")"
done
echo "em dash, en dash and tab draw the frames of \" - \": $(tr -d '\r' <"$dir/changed.hyphen" | tr '\n' ' ')"

# Without a separator the caption is one line: other frames, and the lines
# are named once in the trace (which the host shows as it comes, and again
# in its summary).
draw ' ' none
cmp -s "$dir/out.none" "$dir/out.hyphen" && fail "a list without separators draws the two-line captions"
named=$(grep -ac '^tpp-host: plug-in: .*lines have no separator .* and show as one line: lines 1, 2 and 3' \
  "$dir/log.none" || true)
((named == 1)) || fail "the lines without a separator are named $named times: $(cat "$dir/log.none")"
echo "a list without separators: $(grep -a -m1 'no separator' "$dir/log.none")"
