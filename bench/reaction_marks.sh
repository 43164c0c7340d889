#!/usr/bin/env bash
# The reaction test: a film plays in a real window (ximagesink under Xvfb
# with a window manager) and a viewer presses k 0.45 s after every fifth
# caption appears, typed into the window with xdotool. A mark hits when
# the word it marks is the word of the caption the key answered. Reports
# hits out of marks in study mode and in flash mode at the table's
# defaults. Needs xdotool and openbox: scripts/install-deps.sh --test --bench.
#
# Usage: bench/reaction_marks.sh [--marks N] [--build DIR]
# Defaults: 6 marks per mode, the tree build/native-release (built when
# needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
marks=6 build=$root/build
usage() { sed -n '9,11s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --marks) marks=$2; shift 2 ;;
    --build) build=$(realpath "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $marks =~ ^[1-9][0-9]*$ ]] || usage
command -v openbox >/dev/null || { echo "no openbox: scripts/install-deps.sh --bench installs it" >&2; exit 1; }
source "$root/bench/release_element.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GST_PLUGIN_PATH=$plugins GST_REGISTRY=$work/registry.bin work marks
# Each mode: the bus told as it comes (gst-launch -m); every fifth caption
# is answered 0.45 s after it is told.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  openbox >/dev/null 2>&1 &
  for mode in study flash; do
    # Study captions 4 s apart rather than 20, for a shorter run; flash at
    # the table defaults.
    schedule=mode=flash
    [[ $mode == flash ]] || schedule="mode=study study-every=4"
    : >"$work/$mode.bus"
    gst-launch-1.0 -m videotestsrc is-live=true ! video/x-raw,width=640,height=360,framerate=25/1 \
      ! tpp25frame settings-file=none progress-db=none rules-type=a-z $schedule ! videoconvert \
      ! ximagesink >>"$work/$mode.bus" 2>&1 &
    player=$!
    window=$(xdotool search --sync --onlyvisible --name gst-launch | head -1)
    xdotool windowactivate "$window" 2>/dev/null || true
    captions=0 pressed=0
    while read -r line; do
      [[ $line == *tpp25frame-caption* ]] || continue
      captions=$((captions + 1))
      ((captions % 5 == 0)) || continue
      sleep 0.45
      xdotool key k
      sed -n "s/.*tpp25frame-caption.* word=(string)\(.*\), translation=.*/\1/p" <<<"$line" >>"$work/$mode.answered"
      pressed=$((pressed + 1))
      ((pressed < marks)) || break
    done < <(tail -n +1 -f "$work/$mode.bus")
    sleep 1
    kill $player
    wait $player 2>/dev/null || true
  done' reaction >/dev/null 2>&1 || true
for mode in study flash; do
  sed -n "s/.*tpp25frame-mark.* word=(string)\(.*\), translation=.*/\1/p" "$work/$mode.bus" >"$work/$mode.marked"
  hits=$(paste -d'|' "$work/$mode.answered" "$work/$mode.marked" | awk -F'|' '$1 == $2 { n++ } END { print n + 0 }')
  echo "$mode: $hits of $(wc -l <"$work/$mode.answered") marks hit the caption answered"
  paste -d'|' "$work/$mode.answered" "$work/$mode.marked" | sed 's/^/  answered|marked: /'
done
