#!/usr/bin/env bash
# playbin over an MP4 that ffmpeg made, with the element as its video
# filter: the run ends with EOS, the element gets the decoder's I420 as it
# is (nothing converts it on the way) and draws on the default schedule.
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440 -t 2 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac "$dir/clip.mp4" || fail "ffmpeg made no clip"
GST_DEBUG=tpp25frame:4 GST_DEBUG_NO_COLOR=1 gst-launch-1.0 playbin uri="file://$dir/clip.mp4" \
  video-filter="tpp25frame mode=flash settings-file=$dir/settings.ini rules-type=a-z" \
  video-sink=fakesink audio-sink=fakesink flags=video+audio+force-filters >"$dir/log" 2>&1 ||
  fail "playbin failed: $(tail -5 "$dir/log")"
grep -q 'Got EOS from element "playbin' "$dir/log" || fail "no EOS: $(tail -5 "$dir/log")"
grep -q 'captions into I420 320x240' "$dir/log" || fail "the element got: $(grep 'captions into' "$dir/log")"
# 50 frames: captions on frames 1, 13, 25, 37 and 49, entries 1 to 5.
grep -q '^CurIntEntry=5' "$dir/settings.ini" || fail "walk: $(grep CurIntEntry "$dir/settings.ini")"
echo "playbin: EOS, I420 into the element, five captions"
