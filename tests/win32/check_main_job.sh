#!/usr/bin/env bash
# The main-job script end to end on a short clip with sound, in both pixel
# formats: an MP4 of every frame with the sound kept, and a contact sheet of
# the frames the plug-in changed; a failure names its stage, and an
# interrupted run leaves nothing half made.
set -euo pipefail
root=$1 build=$2 host=$3 dll=$4 fake=$5 fake_v2=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
main_job() { TPP_BUILD_DIR=$build "$root/scripts/run-main.sh" --host "$host" "$@"; }
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
if main_job "$work/clip.mp4" --plugin "$fake_v2" >/dev/null 2>"$work/log"; then fail "a refused plug-in was accepted"; fi
grep -q 'run-main: the plug-in .* does not load' "$work/log" || fail "refused plug-in: $(cat "$work/log")"
grep -q 'interface version 2' "$work/log" || fail "the host's reason is not shown: $(cat "$work/log")"

# Interrupted while it encodes, as Ctrl-C interrupts the whole job: status
# 130, and neither the final MP4 nor the one being written is left.
ffmpeg -v error -f lavfi -i "testsrc2=size=720x576:rate=25:duration=40" -c:v libx264 -preset ultrafast "$work/long.mp4"
set -m
main_job "$work/long.mp4" --plugin "$dll" --out-dir "$work/stopped" >/dev/null 2>"$work/log" &
job=$!
for _ in $(seq 300); do
  compgen -G "$work/stopped/.long.captions-yuy2.*.mp4" >/dev/null && break
  sleep 0.1
done
compgen -G "$work/stopped/.long.captions-yuy2.*.mp4" >/dev/null || fail "no MP4 being written: $(cat "$work/log")"
kill -INT -- -"$job"
status=0
wait "$job" || status=$?
set +m
((status == 130)) || fail "interrupted job: exit status $status: $(cat "$work/log")"
left=$(ls -A "$work/stopped")
[[ -z $left ]] || fail "the interrupted job left $left"
echo "main job: both formats encoded, sheets made, stages named, interruption cleaned up"
