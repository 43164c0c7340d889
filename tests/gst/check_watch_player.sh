#!/usr/bin/env bash
# scripts/watch.sh's player: the properties it refuses are named with what
# they take before anything plays (status 2); in a window under Xvfb, closed
# as a viewer closes it, the run ends with status 0 and the element's stop
# has saved its walk; keys typed into the window (xdotool) and on standard
# input mark captions, q quits, and the summary counts what was shown and
# marked.
set -euo pipefail
watch=$1 close_window=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The player loads decoders and sinks that keep memory for good; what the
# element leaks is the leak test's to find.
export ASAN_OPTIONS=detect_leaks=0

status=0
"$watch" "file://$dir/none.mp4" text-colour=0xFF0000 rules-type=alphabetical text-color=red transparency=101 \
  keys=known=k,again=k >"$dir/log" 2>&1 || status=$?
((status == 2)) || fail "refused properties: status $status, $(cat "$dir/log")"
for said in 'no property "text-colour"; the nearest: text-color' \
  'rules-type=alphabetical is refused: rules-type takes one of a-z, z-a, random, spaced' \
  'text-color=red is refused: text-color takes a colour from 0x000000 to 0xFFFFFF' \
  'transparency=101 is refused: transparency takes a whole number from 0 to 100' \
  'keys="known=k,again=k" is refused: the key k is given to both known and again'; do
  grep -qF "$said" "$dir/log" || fail "not said: $said; said: $(cat "$dir/log")"
done
echo "refused properties: named, with what they take"

ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440 -t 30 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac "$dir/clip.mp4" || fail "ffmpeg made no clip"
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  timeout 60 "$1" "file://$3/clip.mp4" mode=flash settings-file="$3/settings.ini" rules-type=a-z >"$3/log" 2>&1 &
  player=$!
  # Three seconds of playing, however long a loaded machine takes to start.
  xdotool search --sync --onlyvisible --name TPP_25Frame >/dev/null
  sleep 3
  "$2" || kill $player
  status=0
  wait $player || status=$?
  echo $status >"$3/status"' close "$watch" "$close_window" "$dir"
[[ $(cat "$dir/status") == 0 ]] || fail "closed window: status $(cat "$dir/status"), $(tail -5 "$dir/log")"
grep -q 'the window was closed' "$dir/log" || fail "closed window: $(tail -5 "$dir/log")"
! grep -q ERROR "$dir/log" || fail "closed window: $(grep ERROR "$dir/log")"
walk=$(sed -n 's/^CurIntEntry=\([0-9]*\)\r$/\1/p' "$dir/settings.ini")
((${walk:-0} >= 2)) || fail "walk not saved at the close: CurIntEntry=${walk:-none}"
echo "closed window: status 0, walk saved at entry $walk"

# k in the window, a on standard input (a pipe, as a terminal's keys come),
# then q in the window.
mkfifo "$dir/keys"
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  exec 3<>"$2/keys"
  timeout 60 "$1" "file://$2/clip.mp4" mode=flash settings-file=none show-freq-from=5 show-freq-to=5 <&3 >"$2/log" 2>&1 &
  player=$!
  window=$(xdotool search --sync --onlyvisible --name TPP_25Frame | head -1)
  xdotool windowfocus "$window"
  sleep 1
  xdotool key k
  sleep 0.5
  printf a >&3
  sleep 0.5
  xdotool key q
  status=0
  wait $player || status=$?
  echo $status >"$2/status"' keys "$watch" "$dir"
[[ $(cat "$dir/status") == 0 ]] || fail "q: status $(cat "$dir/status"), $(tail -5 "$dir/log")"
summary=$(grep 'watch: this session: ' "$dir/log") || fail "no summary: $(tail -5 "$dir/log")"
[[ $summary =~ ([0-9]+)\ captions\ shown,\ 1\ marked\ known,\ 1\ marked\ again$ ]] || fail "summary: $summary"
((BASH_REMATCH[1] >= 2)) || fail "summary: $summary"
echo "keys: ${summary#watch: }"
