#!/usr/bin/env bash
# The Linux plug-in against the DLL on the same frames: the same frames get
# captions in both formats, and with a half-opaque whole-frame background
# the two differ only where one of them has a glyph pixel.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 dll=$4 native_host=$5 native_plugin=$6
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/win/Plugins" "$dir/linux/Plugins"
cp "$host" "$dir/win/host.exe"
cp "$dll" "$dir/win/TPP_25Frame.dll"
cp "$native_host" "$dir/linux/tpp-host"
cp "$native_plugin" "$dir/linux/TPP_25Frame.so"
fail() { echo "FAIL: $*"; exit 1; }
width=384 height=288 frames=30

settings() {
  printf '[PluginSettings]\r\n' >"$dir/win/Plugins/TPP_25Frame.ini"
  printf '%s\r\n' "$@" >>"$dir/win/Plugins/TPP_25Frame.ini"
  cp "$dir/win/Plugins/TPP_25Frame.ini" "$dir/linux/Plugins/TPP_25Frame.ini"
}
run_both() {  # format
  "$wine_run" "$prefix" "$dir/win/host.exe" --plugin "$dir/win/TPP_25Frame.dll" --size "${width}x$height" \
    --format "$1" --input "Z:$dir/in" --output "Z:$dir/out.win" --changed-frames "Z:$dir/changed.win" 2>"$dir/log" ||
    fail "$1: the Windows host failed: $(cat "$dir/log")"
  "$dir/linux/tpp-host" --plugin "$dir/linux/TPP_25Frame.so" --size "${width}x$height" \
    --format "$1" --input "$dir/in" --output "$dir/out.linux" --changed-frames "$dir/changed.linux" 2>"$dir/log" ||
    fail "$1: the Linux host failed: $(cat "$dir/log")"
}
list() { tr -d '\r' <"$1" | tr '\n' ' '; }

# Uniform grey frames: a glyph pixel and a background pixel each have one value.
for format in yuy2 rgb24; do
  bpp=2
  [[ $format == yuy2 ]] || bpp=3
  head -c $((width * height * bpp * frames)) /dev/zero | tr '\0' '\100' >"$dir/in"
  settings
  run_both "$format"
  [[ $(list "$dir/changed.win") == "$(list "$dir/changed.linux")" ]] ||
    fail "$format: frames with captions differ: $(list "$dir/changed.win") / $(list "$dir/changed.linux")"
  [[ -n $(list "$dir/changed.linux") ]] || fail "$format: no captions at all"
done

# RGB24 at 50 %: background bytes 64 + (191 * 128 >> 8) = 159 everywhere; a
# glyph pixel is the text colour (0, 160, 255) mixed in instead: 32, 112, 159.
settings BackType=2 Transparency=50
run_both rgb24
[[ $(list "$dir/changed.win") == "$(list "$dir/changed.linux")" ]] || fail "BackType 2: schedules differ"
astray=$(cmp -l "$dir/out.win" "$dir/out.linux" | awk '
  BEGIN { glyph[0] = 32; glyph[1] = 112; glyph[2] = 159 }
  function octal(s, v, i) { for (i = 1; i <= length(s); i++) v = v * 8 + substr(s, i, 1); return v }
  { g = glyph[($1 - 1) % 3]; if (octal($2) != g && octal($3) != g) n++ }
  END { print n + 0 }' || true)
((astray == 0)) || fail "$astray bytes differ where neither plug-in drew a glyph"
differing=$(cmp -l "$dir/out.win" "$dir/out.linux" | wc -l || true)
echo "the two plug-ins differ in $differing bytes, all of them glyph pixels of one or the other"
first=$(head -1 "$dir/changed.linux" | tr -d '\r')
frame=$((width * height * 3))
others=$(dd if="$dir/out.linux" bs="$frame" skip=$((first - 1)) count=1 status=none | od -An -v -tu1 -w1 |
  awk '$1 != 159 && $1 != 32 && $1 != 112 { n++ } END { print n + 0 }')
((others == 0)) || fail "$others bytes of the Linux plug-in's frame $first are neither background nor glyph"
echo "the Linux plug-in matches the DLL: schedules $(list "$dir/changed.linux")"
