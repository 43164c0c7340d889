#!/usr/bin/env bash
# The main-job script end to end on a short clip with sound, in both pixel
# formats: an MP4 of every frame with the sound kept, and a contact sheet of
# the frames the plug-in changed.
set -euo pipefail
root=$1 build=$2 dll=$3 fake=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
main_job() { TPP_BUILD_DIR=$build "$root/scripts/run-main.sh" "$@"; }
stream() { ffprobe -v error -select_streams "$2" -count_packets -show_entries "stream=$3" -of csv=p=0 "$1"; }

ffmpeg -v error -f lavfi -i "testsrc2=size=176x144:rate=25:duration=2" -f lavfi -i "sine=duration=2" \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$work/clip.mp4"

for format in yuy2 rgb24; do
  main_job "$work/clip.mp4" --format "$format" --plugin "$dll" >"$work/out" 2>"$work/log" ||
    fail "$format: $(cat "$work/log" "$work/out")"
  movie=$work/clip.captions-$format.mp4 sheet=$work/clip.captions-$format.png
  [[ $(stream "$movie" v:0 width,height,nb_read_packets) == "176,144,50" ]] ||
    fail "$format: the MP4 holds $(stream "$movie" v:0 width,height,nb_read_packets)"
  [[ -n $(stream "$movie" a:0 codec_name) ]] || fail "$format: the sound was lost"
  [[ $(stream "$sheet" v:0 codec_name) == png ]] || fail "$format: no contact sheet"
  grep -q "contact sheet: $sheet" "$work/out" || fail "$format: $(cat "$work/out")"
done

# Odd sizes reach the plug-in as they are; the MP4 pads them to even ones.
main_job "$work/clip.mp4" --format rgb24 --size 175x143 --frames 5 --plugin "$dll" --out-dir "$work/odd" \
  >/dev/null 2>"$work/log" || fail "odd size: $(cat "$work/log")"
[[ $(stream "$work/odd/clip.captions-rgb24.mp4" v:0 width,height,nb_read_packets) == "176,144,5" ]] ||
  fail "odd size: $(stream "$work/odd/clip.captions-rgb24.mp4" v:0 width,height,nb_read_packets)"

# The sheet shows the frames the plug-in changed.
TPP_FAKE_MARK_EVERY=12 main_job "$work/clip.mp4" --plugin "$fake" --frames 40 --out-dir "$work/fake" \
  >"$work/out" 2>"$work/log" || fail "stand-in plug-in: $(cat "$work/log")"
grep -q 'frames with captions: 1 13 25 37$' "$work/out" || fail "sheet frames: $(cat "$work/out")"
[[ $(stream "$work/fake/clip.captions-yuy2.mp4" v:0 nb_read_packets) == 40 ]] || fail "--frames 40 not kept"

if main_job "$work/missing.mp4" --plugin "$dll" >/dev/null 2>"$work/log"; then fail "a missing video was accepted"; fi
grep -q 'cannot read' "$work/log" || fail "missing video: $(cat "$work/log")"
echo "main job: both formats encoded, sheets made"
