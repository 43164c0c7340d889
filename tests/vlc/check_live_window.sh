#!/usr/bin/env bash
# VLC plays a clip in a window under Xvfb (xcb_x11: Xvfb has no Xv adaptor)
# with --video-filter=tpp25frame of this tree, as an ordinary user, and a
# caption on every frame; a screenshot taken while it plays is kept at
# SCREENSHOT and must show the caption's white letters.
# Usage: check_live_window.sh VLC_PLUGIN_DIR SCREENSHOT
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vlc_plugins=$1 screenshot=$2
dir=$(mktemp -d)
xvfb=
trap '[[ -z $xvfb ]] || kill $xvfb; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ffmpeg -loglevel error -f lavfi -i color=c=0x404040:size=640x480:rate=25 -t 6 -c:v libx264 -pix_fmt yuv420p \
  "$dir/clip.mp4" || fail "ffmpeg made no clip"
source "$here/open-display.sh"
open_display "$dir" 800x600x24
bash "$here/as-user.sh" "$dir" env DISPLAY=":$display" VLC_PLUGIN_PATH="$vlc_plugins" \
  cvlc --no-plugins-cache --vout xcb_x11 --no-audio --no-video-title-show --play-and-exit "$dir/clip.mp4" \
  --video-filter=tpp25frame --tpp25frame-mode=flash --tpp25frame-settings-file=none --tpp25frame-show-freq-from=1 \
  --tpp25frame-show-freq-to=1 --tpp25frame-font-size=-60 >"$dir/log" 2>&1 &
player=$!
sleep 3
cp "$dir/screen/Xvfb_screen0" "$dir/shot.xwd"
wait $player || fail "the player failed: $(tail -5 "$dir/log")"
ffmpeg -loglevel error -y -i "$dir/shot.xwd" "$screenshot" || fail "screenshot not converted"
# Caption letters: white after two colour conversions, in the window at the
# top left (the picture is grey; the screen round it is white).
white=$(ffmpeg -loglevel error -i "$dir/shot.xwd" -vf crop=640:480:0:0 -f rawvideo -pix_fmt rgb24 - | od -An -v -tu1 -w3 |
  awk '$1 > 220 && $2 > 220 && $3 > 220 { n++ } END { print n + 0 }')
((white > 200)) || fail "no caption in the screenshot ($white white pixels): $screenshot"
echo "live window: $white caption pixels in $screenshot"
