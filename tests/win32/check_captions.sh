#!/usr/bin/env bash
# Captions of the real DLL in the reference host, on ffmpeg-made clips of
# 50 frames in both pixel formats: which frames carry them, where frame 1's
# caption lies, that glyphs take the text colour, and that a half-opaque
# whole-frame background moves every pixel toward one of the two colours.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=private-copy.sh
source "$(dirname "$0")/private-copy.sh" host.exe "$@"
mkdir "$dir/Plugins"
ini=$dir/Plugins/TPP_25Frame.ini
width=384 height=288

printf 'cat - кошка\r\ndog - собака\r\nsun - солнце\r\nhouse - дом\r\n' | iconv -f utf-8 -t cp1251 >"$dir/words.dic"
dic="Z:${dir//\//\\}\\words.dic"
settings() { printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\n' "$dic" >"$ini"; printf '%s\r\n' "$@" >>"$ini"; }

run() {
  "$wine_run" "$prefix" "$dir/host.exe" --plugin "$dir/TPP_25Frame.dll" --size "${width}x$height" \
    --format "$format" --input "Z:$dir/in" --output "Z:$dir/out" --changed-frames "Z:$dir/changed" 2>"$dir/log" ||
    fail "$format: host failed: $(cat "$dir/log")"
}

# The differing bytes of frame 1 as "offset before after", offsets from 0.
frame1_changes() {
  cmp -l <(head -c "$frame" "$dir/in") <(head -c "$frame" "$dir/out") |
    awk 'function octal(s, v, i) { for (i = 1; i <= length(s); i++) v = v * 8 + substr(s, i, 1); return v }
         { printf "%d %d %d\n", $1 - 1, octal($2), octal($3) }' || true
}

for format in yuy2 rgb24; do
  if [[ $format == yuy2 ]]; then pix=yuyv422 flip="" bpp=2; else pix=bgr24 flip=",vflip" bpp=3; fi
  frame=$((width * height * bpp))
  ffmpeg -v error -f lavfi -i "testsrc2=size=${width}x$height:rate=25,eq=brightness=-0.3" -frames:v 50 \
    -vf "null$flip" -pix_fmt "$pix" -f rawvideo -y "$dir/in"

  # Default settings, built-in dictionary: frames 1, 13, 25, 37, 49 change
  # and every other one passes byte for byte.
  rm -f "$ini"
  run
  changed=$(tr -d '\r' <"$dir/changed" | tr '\n' ' ')
  [[ $changed == "1 13 25 37 49 " ]] || fail "$format: with default settings, frames changed: $changed"
  differing=$(cmp -l "$dir/in" "$dir/out" | awk -v n="$frame" '{ f = int(($1 - 1) / n) + 1; if (f != last) printf "%d ", f; last = f }' || true)
  [[ $differing == "$changed" ]] || fail "$format: frames that differ: $differing, reported: $changed"

  # Short words from a dictionary file, so that every caption is one
  # small block; the schedule and the positions stay the default ones.
  settings
  run
  [[ $(tr -d '\r' <"$dir/changed" | tr '\n' ' ') == "1 13 25 37 49 " ]] || fail "$format: the dictionary file changed the schedule"

  # The same list in UTF-8, with and without the byte-order mark, gives the
  # same frames byte for byte.
  cp "$dir/out" "$dir/out.cp1251"
  cp "$dir/words.dic" "$dir/words.cp1251"
  for mark in "" $'\xEF\xBB\xBF'; do
    { printf '%s' "$mark"; iconv -f cp1251 -t utf-8 "$dir/words.cp1251"; } >"$dir/words.dic"
    settings
    run
    cmp -s "$dir/out" "$dir/out.cp1251" || fail "$format: the UTF-8 list${mark:+ with the mark} draws other frames"
  done
  cp "$dir/words.cp1251" "$dir/words.dic"
  cp "$dir/out.cp1251" "$dir/out"

  # Frame 1's caption is centred on canvas point (308, 463): its changed
  # pixels fit one caption-sized box around that point.
  read -r left top right bottom < <(frame1_changes | awk -v w=$width -v h=$height -v bpp=$bpp -v f=$format '
    { p = int($1 / bpp); x = p % w; y = int(p / w); if (f == "rgb24") y = h - 1 - y
      if (!n++ || x < l) l = x; if (x > r) r = x; if (n == 1 || y < t) t = y; if (y > b) b = y }
    END { printf "%d %d %d %d\n", l * 768 / w, t * 576 / h, (r + 1) * 768 / w, (b + 1) * 576 / h }')
  echo "$format: frame 1 caption box on the canvas: $left,$top .. $right,$bottom"
  ((left < 308 && 308 < right && top < 463 && 463 < bottom)) || fail "$format: caption box misses (308, 463)"
  ((right - left < 300 && bottom - top < 130)) || fail "$format: caption box too large for a short caption"

  # Glyphs replace the picture with the text colour: B 0, G 160, R 255
  # (Y 170 in YUY2, where chroma is shared by two pixels).
  wrong=$(frame1_changes | awk -v f=$format '
    f == "rgb24" { if ($3 != (($1 % 3 == 0) ? 0 : ($1 % 3 == 1) ? 160 : 255)) n++ }
    f == "yuy2" && $1 % 2 == 0 { if ($3 != 170) n++ }
    END { print n + 0 }')
  ((wrong == 0)) || fail "$format: $wrong changed bytes of frame 1 are not the text colour"

  # Whole-frame background, half opaque: every byte moves toward the
  # background (white) or the text colour, and most of them move.
  settings BackType=2 Transparency=50
  run
  read -r moved astray < <(frame1_changes | awk -v f=$format '
    BEGIN { split("255 255 255", white); split("0 160 255", text); split("255 128 255 128", wy); split("170 32 170 188", ty) }
    { if (f == "rgb24") { c = $1 % 3 + 1; a = white[c]; b = text[c] } else { c = $1 % 4 + 1; a = wy[c]; b = ty[c] }
      d0a = $2 - a; d1a = $3 - a; d0b = $2 - b; d1b = $3 - b
      if (d1a * d1a > d0a * d0a && d1b * d1b > d0b * d0b) bad++
      moved++ }
    END { print moved + 0, bad + 0 }')
  echo "$format: half-opaque background moved $moved of $frame bytes of frame 1, $astray astray"
  ((astray == 0)) || fail "$format: $astray bytes moved away from both colours"
  ((moved > frame / 2)) || fail "$format: the background blend moved only $moved bytes"
done

# An outline (red: B 0, G 0, R 255) round the letters: every changed byte of
# frame 1 is the text colour's or the outline's, and both are there.
settings OutlineWidth=2 OutlineColor=255
run
read -r outlined wrong < <(frame1_changes | awk '
  { c = $1 % 3; if (c == 1 && $3 == 0) o++; if ((c == 0 && $3 != 0) || (c == 1 && $3 != 160 && $3 != 0) || (c == 2 && $3 != 255)) n++ }
  END { print o + 0, n + 0 }')
((wrong == 0 && outlined > 50)) || fail "outline: $outlined outline pixels, $wrong bytes of neither colour"

# Letters or outline in the colour BackType none leaves out: the host's
# summary says so, once.
for key in TextColor OutlineColor; do
  settings OutlineWidth=2 "$key=16777215"
  run
  said=$(tr -d '\r' <"$dir/log" | grep -c "^tpp-host: the plug-in said: TPP_25Frame: $key=16777215 is BackColor" || true)
  [[ $said == 1 ]] || fail "$key as the key colour: said $said times: $(cat "$dir/log")"
done
echo "outline drawn; hidden letters and outline reported"
