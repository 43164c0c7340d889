#!/usr/bin/env bash
# The main-job script end to end on a short clip with sound, in both pixel
# formats: an MP4 of every frame with the sound kept, and a contact sheet of
# the frames the plug-in changed; a failure names its stage, a video without
# captions is status 3 and says why, the Linux plug-in's results stand
# beside the DLL's, and an interrupted run leaves nothing half made.
# Usage: check_main_job.sh ROOT BUILD HOST DLL FAKE FAKE_V2 [NATIVE_HOST NATIVE_PLUGIN]
set -euo pipefail
root=$1 build=$2 host=$3 dll=$4 fake=$5 fake_v2=$6 native_host=${7:-} native_plugin=${8:-}
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

# A word list that the settings choose but that is not there: the video is
# made without captions, and the job names the list, once made and once empty.
mkdir -p "$work/empty/Plugins"
cp "$host" "$work/empty/host.exe"
cp "$dll" "$work/empty/TPP_25Frame.dll"
words='Z:'${work//\//\\}'\empty\words.dic'
printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\n' "$words" >"$work/empty/Plugins/TPP_25Frame.ini"
for found in "did not exist: the plug-in made it, empty" "has no entries"; do
  status=0
  main_job "$work/clip.mp4" --plugin "$work/empty/TPP_25Frame.dll" --host "$work/empty/host.exe" --frames 5 \
    --out-dir "$work/empty" >/dev/null 2>"$work/log" || status=$?
  log=$(tr -d '\r' <"$work/log")
  ((status == 3)) || fail "no captions: exit status $status: $log"
  grep -qF "no frame got a caption: the word list that $work/empty/Plugins/TPP_25Frame.ini chooses, $words, $found" \
    <<<"$log" || fail "no captions, $found: $log"
  grep -qF "the plug-in said: TPP_25Frame: DicFileName=$words: the word list" <<<"$log" || fail "no notice: $log"
  [[ -s $work/empty/clip.captions-yuy2.mp4 ]] || fail "the video without captions was not kept"
done

# The Linux plug-in's results are named apart from the DLL's.
if [[ -n $native_host ]]; then
  mkdir -p "$work/native"
  cp "$native_host" "$work/native/tpp-host"
  cp "$native_plugin" "$work/native/TPP_25Frame.so"
  main_job "$work/clip.mp4" --native --plugin "$work/native/TPP_25Frame.so" --host "$work/native/tpp-host" \
    --frames 13 --out-dir "$work" >"$work/out" 2>"$work/log" || fail "native: $(cat "$work/log")"
  for result in "$work/clip.captions-native-yuy2.mp4" "$work/clip.captions-native-yuy2.png" \
    "$work/clip.captions-yuy2.mp4"; do
    [[ -s $result ]] || fail "native: no $result beside the DLL's: $(ls "$work")"
  done
  [[ $(stream "$work/clip.captions-yuy2.mp4" v:0 nb_read_packets) == 50 ]] || fail "native: the DLL's MP4 was replaced"
fi

if main_job "$work/missing.mp4" --plugin "$dll" >/dev/null 2>"$work/log"; then fail "a missing video was accepted"; fi
grep -q 'cannot read' "$work/log" || fail "missing video: $(cat "$work/log")"
if main_job "$work/clip.mp4" --plugin "$fake_v2" >/dev/null 2>"$work/log"; then fail "a refused plug-in was accepted"; fi
grep -q 'run-main: the plug-in .* does not load' "$work/log" || fail "refused plug-in: $(cat "$work/log")"
grep -q 'interface version 2' "$work/log" || fail "the host's reason is not shown: $(cat "$work/log")"

# Interrupted while it encodes, as Ctrl-C interrupts the whole job and the
# shell that ran it: the job dies of SIGINT, so that shell stops too instead
# of going on as it would after an exit status of 130; neither the final
# MP4 nor the one being written is left.
ffmpeg -v error -f lavfi -i "testsrc2=size=720x576:rate=25:duration=40" -c:v libx264 -preset ultrafast "$work/long.mp4"
set -m
# shellcheck disable=SC2016 # expanded by the shell that runs the job
TPP_BUILD_DIR=$build bash -c '"$1" --host "$2" "$3" --plugin "$4" --out-dir "$5"; echo "went on after status $?"' \
  job "$root/scripts/run-main.sh" "$host" "$work/long.mp4" "$dll" "$work/stopped" >"$work/out" 2>"$work/log" &
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
[[ ! -s $work/out ]] || fail "the shell that ran the interrupted job $(cat "$work/out")"
left=$(ls -A "$work/stopped")
[[ -z $left ]] || fail "the interrupted job left $left"
echo "main job: both formats encoded, sheets made, stages named, no captions said, interruption cleaned up"
