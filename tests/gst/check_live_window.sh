#!/usr/bin/env bash
# A live run in a window under Xvfb (ximagesink: Xvfb has no Xv adaptor),
# with a caption on every frame; a screenshot taken while it plays is kept
# at SCREENSHOT and must show the element's white caption letters.
set -euo pipefail
screenshot=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ffmpeg -loglevel error -f lavfi -i color=c=0x404040:size=640x480:rate=25 -f lavfi -i sine=frequency=440 -t 6 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac "$dir/clip.mp4" || fail "ffmpeg made no clip"
mkdir "$dir/screen"
xvfb-run -a -s "-screen 0 800x600x24 -fbdir $dir/screen" bash -c '
  gst-launch-1.0 playbin uri="file://$1/clip.mp4" video-sink=ximagesink audio-sink="fakesink sync=true" \
    video-filter="tpp25frame mode=flash settings-file=$1/settings.ini show-freq-from=1 show-freq-to=1 font-size=-60" \
    flags=video+audio+force-filters >"$1/log" 2>&1 &
  player=$!
  sleep 3
  cp "$1/screen/Xvfb_screen0" "$1/shot.xwd"
  wait $player' window "$dir" || fail "the player failed: $(tail -5 "$dir/log")"
grep -q 'Got EOS' "$dir/log" || fail "no EOS: $(tail -5 "$dir/log")"
ffmpeg -loglevel error -y -i "$dir/shot.xwd" "$screenshot" || fail "screenshot not converted"
# Caption letters: white after two colour conversions (the picture is grey,
# the screen round the window black).
white=$(ffmpeg -loglevel error -i "$dir/shot.xwd" -f rawvideo -pix_fmt rgb24 - | od -An -v -tu1 -w3 |
  awk '$1 > 220 && $2 > 220 && $3 > 220 { n++ } END { print n + 0 }')
((white > 200)) || fail "no caption in the screenshot ($white white pixels): $screenshot"
echo "live window: $white caption pixels in $screenshot"
