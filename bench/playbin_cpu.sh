#!/usr/bin/env bash
# What the element costs a whole player: playbin over a 1080p film that
# ffmpeg makes (10-bit HEVC, which the decoder gives as I420_10LE, and PNG
# frames, which it gives as RGBA), decoding to fakesink as fast as it can,
# with the element as video-filter and without. The process CPU time
# (user + system) of each run over the long film less that over a short
# one, so that start-up (plug-ins, fonts, the dictionary, the store) falls
# out; the variants take turns, and the median of the repeats counts.
# playbin's filter bin always puts a converter in front of the filter; the
# element's log says it got the decoder's format, so that converter passes
# buffers through untouched.
# Usage: bench/playbin_cpu.sh [--repeat N] [--seconds N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
repeat=5 seconds=12
while (($#)); do
  case $1 in
    --repeat) repeat=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) sed -n '2,12s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done

source "$root/bench/release_element.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GST_PLUGIN_PATH=$plugins GST_REGISTRY=$work/registry.bin XDG_DATA_HOME=$work XDG_CONFIG_HOME=$work

# Each film twice: 2 s long, and as long as asked.
for length in 2 "$seconds"; do
  source=(-f lavfi -i "testsrc2=size=1920x1080:rate=25" -t "$length")
  ffmpeg -loglevel error "${source[@]}" -pix_fmt yuv420p10le -c:v libx265 -preset ultrafast \
    -x265-params log-level=error "$work/hevc10-$length.mkv"
  ffmpeg -loglevel error "${source[@]}" -pix_fmt rgba -c:v png "$work/rgba-$length.mkv"
done
frames=$(((seconds - 2) * 25))

# CPU seconds of one playbin run; with the element, its log must show the
# decoder's format.
run() {  # film element(0/1) expected-format
  local TIMEFORMAT='%3U %3S' times filter=() log=$work/log
  ((!$2)) || filter=("video-filter=tpp25frame settings-file=none")
  times=$({ time GST_DEBUG=tpp25frame:4 GST_DEBUG_NO_COLOR=1 gst-launch-1.0 playbin \
    "uri=file://$1" "${filter[@]}" video-sink="fakesink sync=false" audio-sink=fakesink \
    flags=video+native-video+force-filters >"$log" 2>&1; } 2>&1) || { echo "failed: $1: $(tail -3 "$log")" >&2; exit 1; }
  if (($2)); then
    grep -q "captions into $3 " "$log" || { echo "the element got: $(grep -m1 'captions into' "$log")" >&2; exit 1; }
  fi
  awk '{ printf "%.3f", $1 + $2 }' <<<"$times"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "playbin to fakesink, 1920x1080, CPU ms per frame over $frames frames (a ${seconds} s film less a 2 s one, median of $repeat)"
echo
echo "| film | decoded as | without | with the element | added |"
echo "| --- | --- | --- | --- | --- |"
for film in hevc10:I420_10LE rgba:RGBA; do
  name=${film%%:*} format=${film#*:}
  without=() with=()
  for ((i = 0; i < repeat; i++)); do
    for element in 0 1; do
      short=$(run "$work/$name-2.mkv" $element "$format") long=$(run "$work/$name-$seconds.mkv" $element "$format")
      if ((element)); then with+=("$(awk -v a="$long" -v b="$short" 'BEGIN { print a - b }')")
      else without+=("$(awk -v a="$long" -v b="$short" 'BEGIN { print a - b }')"); fi
    done
  done
  a=$(printf '%s\n' "${without[@]}" | median) b=$(printf '%s\n' "${with[@]}" | median)
  awk -v n="$name" -v f="$format" -v a="$a" -v b="$b" -v frames="$frames" 'BEGIN {
    printf "| %s | %s | %.3f | %.3f | %+.1f %% |\n", n, f, a * 1000 / frames, b * 1000 / frames, (b - a) * 100 / a }'
done
