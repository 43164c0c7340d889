#!/usr/bin/env bash
# VLC plays a clip in a window under Xvfb with --video-filter=tpp25frame of
# this tree, as an ordinary user, with the filter's default keys, which VLC
# leaves free: y is known, and k (VLC's audio delay) none of the filter's.
# y and k are typed into the window with xdotool (through the X server's test
# extension, as a keyboard types them) while a caption shows: the progress
# store holds one mark, known, of a word of the list that was shown.
# Usage: check_window_keys.sh VLC_PLUGIN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vlc_plugins=$1
dir=$(mktemp -d)
xvfb=
trap '[[ -z $xvfb ]] || kill $xvfb; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ffmpeg -loglevel error -f lavfi -i color=c=0x404040:size=320x240:rate=25 -t 5 -c:v libx264 -pix_fmt yuv420p \
  "$dir/clip.mp4" || fail "ffmpeg made no clip"
printf 'alpha - one\nbeta - two\ngamma - three\n' >"$dir/words.dic"
source "$here/open-display.sh"
open_display "$dir" 640x480x24
bash "$here/as-user.sh" "$dir" env DISPLAY=":$display" VLC_PLUGIN_PATH="$vlc_plugins" \
  cvlc --no-plugins-cache --vout xcb_x11 --no-audio --no-video-title-show --play-and-exit "$dir/clip.mp4" \
  --video-filter=tpp25frame --tpp25frame-mode=flash --tpp25frame-settings-file=none --tpp25frame-dictionary="$dir/words.dic" \
  --tpp25frame-progress-db="$dir/progress.sqlite" \
  --tpp25frame-show-freq-from=5 --tpp25frame-show-freq-to=5 >"$dir/log" 2>&1 &
player=$!
window=$(DISPLAY=":$display" xdotool search --sync --onlyvisible --class vlc | head -1)
DISPLAY=":$display" xdotool windowfocus "$window"
sleep 1.5
DISPLAY=":$display" xdotool key y k
wait $player || fail "the player failed: $(tail -5 "$dir/log")"
stored=$(sqlite3 "$dir/progress.sqlite" "SELECT e.word || ':' || v.kind FROM events v JOIN entries e ON e.id = v.entry
  WHERE v.kind IN (1, 2) AND EXISTS (SELECT 1 FROM events s WHERE s.entry = v.entry AND s.kind = 0)") ||
  fail "the store cannot be read"
[[ $stored =~ ^(alpha|beta|gamma):1$ ]] || fail "marks of shown words in the store: '$stored' ($(tail -3 "$dir/log"))"
echo "window keys: ${stored%:1} marked known with y, k left to VLC"
