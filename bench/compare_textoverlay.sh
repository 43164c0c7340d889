#!/usr/bin/env bash
# The element against GStreamer's textoverlay on the same frames, side by
# side in one run: videotestsrc, N buffers, fakesink sync=false, at 720x576
# and 1920x1080 in I420, NV12, YUY2 and BGR. Each pipeline's process CPU
# time (user + system, the minimum of the repeats, which the machine's
# load disturbs least) over N buffers less that over one buffer, so that
# start-up costs (loading, fonts, the dictionary) fall out, gives a
# buffer's CPU time; less the plain pipeline's, the cost per buffer of:
#   element   a caption on every buffer (a new entry each time)
#   no-cap    buffers without a caption (one in 200 drawn, the longest period)
#   overlay   textoverlay with the same two lines, shaded-background=true
# and the ratio overlay / element. --against DIR adds the element from
# another build's plug-in folder, taking turns with the rest, as two more
# columns (element and no-cap in that build).
# Usage: bench/compare_textoverlay.sh [--buffers N] [--repeat N] [--size WxH]... [--against DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
buffers=300 repeat=5 sizes=() against=
while (($#)); do
  case $1 in
    --buffers) buffers=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --size) sizes+=("$2"); shift 2 ;;
    --against) against=$(cd "$2" && pwd); shift 2 ;;
    *) sed -n '2,19s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done

source "$root/bench/release_element.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
variants=(plain element nocap overlay)
[[ -z $against ]] || variants+=(element-against nocap-against)

# CPU seconds of one run, user + system, with the element from a plug-in
# folder; each folder keeps its own registry, so none is scanned again.
cpu() {  # folder pipeline...
  local TIMEFORMAT='%3U %3S' times folder=$1 registry=$work/registry.${1//\//_}.bin
  shift
  times=$({ time GST_PLUGIN_PATH=$folder GST_REGISTRY=$registry gst-launch-1.0 -q "$@" >/dev/null 2>&1; } 2>&1) ||
    { echo "failed: $*" >&2; exit 1; }
  awk '{ printf "%.3f", $1 + $2 }' <<<"$times"
}

# A buffer's CPU time in ms in each variant, the least of the repeats, the
# variants taking turns; each element run starts from fresh settings.
measure() {  # size format
  local width=${1%x*} height=${1#*x} format=$2 round variant count seconds
  local caps="video/x-raw,format=$format,width=$width,height=$height,framerate=25/1"
  # Letters of about the caption's height: 40 of the canvas's 576 units.
  local points=$((height * 40 / 576 * 3 / 4))
  local -A best=()
  for ((round = 0; round < repeat; round++)); do
    for variant in "${variants[@]}"; do
      local filter=() folder=$plugins
      [[ $variant != *-against ]] || folder=$against
      case ${variant%-against} in
        element) filter=(! tpp25frame mode=flash "settings-file=$work/settings.ini" show-freq-from=1 show-freq-to=1) ;;
        nocap) filter=(! tpp25frame mode=flash "settings-file=$work/settings.ini" show-freq-from=200 show-freq-to=200) ;;
        # Two lines through Pango markup's line feed.
        overlay) filter=(! textoverlay "text=cat&#10;кошка" shaded-background=true "font-desc=Sans $points") ;;
      esac
      for count in 1 "$buffers"; do
        rm -f "$work/settings.ini"
        seconds=$(cpu "$folder" videotestsrc num-buffers="$count" pattern=black ! "$caps" "${filter[@]}" ! fakesink sync=false)
        local key=$variant.$count
        if [[ -z ${best[$key]:-} ]] || awk -v a="$seconds" -v b="${best[$key]}" 'BEGIN { exit !(a < b) }'; then
          best[$key]=$seconds
        fi
      done
    done
  done
  for variant in "${variants[@]}"; do
    best[$variant]=$(awk -v a="${best[$variant.$buffers]}" -v b="${best[$variant.1]}" -v n="$buffers" \
      'BEGIN { printf "%.4f", (a - b) * 1000 / (n - 1) }')
  done
  awk -v size="$1" -v format="$format" -v plain="${best[plain]}" -v element="${best[element]}" \
    -v nocap="${best[nocap]}" -v overlay="${best[overlay]}" -v against="$against" \
    -v elementAgainst="${best[element-against]:-0}" -v nocapAgainst="${best[nocap-against]:-0}" 'BEGIN {
      e = element - plain; g = nocap - plain; o = overlay - plain
      ratio = e > 0.0005 ? sprintf("%.1f", o / e) : "-"
      printf "| %s | %s | %.3f | %.3f | %.3f | %.3f | %s |", size, format, plain, e, g, o, ratio
      if (against != "") printf " %.3f | %.3f |", elementAgainst - plain, nocapAgainst - plain
      printf "\n"
    }'
}

echo "CPU time per buffer in ms (runs of $buffers buffers less runs of one, the least of $repeat); costs above the plain pipeline"
echo
if [[ -z $against ]]; then
  echo "| size | format | plain | element | no caption | textoverlay | textoverlay / element |"
  echo "| --- | --- | --- | --- | --- | --- | --- |"
else
  echo "against: $against"
  echo "| size | format | plain | element | no caption | textoverlay | textoverlay / element | element, against | no caption, against |"
  echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- |"
fi
((${#sizes[@]})) || sizes=(720x576 1920x1080)
for size in "${sizes[@]}"; do
  for format in I420 NV12 YUY2 BGR; do
    measure "$size" "$format"
  done
done
