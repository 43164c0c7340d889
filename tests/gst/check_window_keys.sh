#!/usr/bin/env bash
# Keys typed into a real ximagesink window under Xvfb (xdotool, through the
# X server's test extension, as a keyboard types them): k and a are taken
# by the element, each mark on the bus with the caption it marks and in the
# progress store; the known word never comes again; x is no key of the
# element's, so it comes back from the sink as a navigation message of its
# own, press and release. Then k once more, and kill -9 1.5 s later: the
# mark is in the store all the same.
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
printf 'alpha - one\nbeta - two\ngamma - three\n' >"$dir/words.dic"
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  gst-launch-1.0 -m videotestsrc is-live=true num-buffers=150 ! video/x-raw,width=320,height=240,framerate=25/1 ! \
    tpp25frame mode=flash settings-file=none progress-db="$1/progress.sqlite" dictionary="$1/words.dic" rules-type=a-z show-freq-from=5 show-freq-to=5 ! \
    videoconvert ! ximagesink >"$1/log" 2>&1 &
  player=$!
  window=$(xdotool search --sync --onlyvisible --name gst-launch | head -1)
  xdotool windowfocus "$window"
  sleep 1
  for key in k a x; do xdotool key $key; sleep 0.3; done
  wait $player' keys "$dir" || fail "the pipeline failed: $(tail -5 "$dir/log")"
grep -q 'Got EOS' "$dir/log" || fail "no EOS: $(tail -5 "$dir/log")"
fields='index=(int)\([0-9]*\), word=(string)\([a-z]*\), translation=(string)\([a-z]*\), list=(string)\([^,]*\)'
marks=$(sed -n "s/.*tpp25frame-mark, $fields, mark=(string)\([a-z]*\);/\1 \2 \3 \4 \5/p" "$dir/log")
[[ $(wc -l <<<"$marks") == 2 ]] || fail "marks: $marks"
read -r index word translation list mark < <(head -1 <<<"$marks")
[[ $mark == known && $list == "$dir/words.dic" ]] || fail "first mark: $marks"
grep -q "tpp25frame-caption, index=(int)$index, word=(string)$word, translation=(string)$translation," "$dir/log" ||
  fail "the known word was never a caption: $word"
[[ $(tail -1 <<<"$marks") == *" again" ]] || fail "second mark: $marks"
returned=$(sed -n "/tpp25frame-mark.*mark=(string)known/,\$p" "$dir/log" | grep -c "tpp25frame-caption.*word=(string)$word," || true)
((returned == 0)) || fail "the known word $word came again $returned times"
passed=$(grep -c 'GstNavigationMessage, type=(string)event' "$dir/log" || true)
((passed == 2)) || fail "navigation messages from the sink: $passed (want x pressed and released)"
marks_in() {
  python3 -c '
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
print(" ".join(w + ":" + ("known" if k == 1 else "again") for w, k in db.execute(
    "SELECT e.word, v.kind FROM events v JOIN entries e ON e.id = v.entry WHERE v.kind IN (1, 2) ORDER BY v.rowid")))
' "$1"
}
stored=$(marks_in "$dir/progress.sqlite") || fail "the store cannot be read"
[[ $stored == "$word:known $(tail -1 <<<"$marks" | cut -d' ' -f2):again" ]] || fail "marks in the store: $stored"
echo "window keys: $word known, $(tail -1 <<<"$marks" | cut -d' ' -f2) again, x passed on"

xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  gst-launch-1.0 videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1 ! \
    tpp25frame mode=flash settings-file=none progress-db="$1/killed.sqlite" ! videoconvert ! ximagesink >"$1/killed.log" 2>&1 &
  player=$!
  window=$(xdotool search --sync --onlyvisible --name gst-launch | head -1)
  xdotool windowfocus "$window"
  sleep 1
  xdotool key k
  sleep 1.5
  kill -9 $player
  { wait $player; } 2>/dev/null || true' killed "$dir"
killed=$(marks_in "$dir/killed.sqlite") || fail "the killed run's store cannot be read"
[[ $killed == *:known ]] || fail "kill -9 1.5 s after k: marks in the store: '$killed'"
echo "kill -9 1.5 s after k: ${killed%:known} known in the store"
