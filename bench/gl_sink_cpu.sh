#!/usr/bin/env bash
# The element's CPU time in front of glimagesink, under Xvfb (Mesa's
# software GL): 1920x1080 test frames with a caption on every frame, the
# caption handed to the sink as an overlay composition, or blended into the
# frames because a capsfilter without the composition feature stands
# between (the element's log says which, and a run on the other path
# fails), against the same pipeline without the element. Each run's figure
# is gst-launch's CPU time, user and system (Xvfb's own is not in it); the
# runs of the cases alternate, and each case's median is printed per frame.
# Needs GStreamer's GL plug-ins: scripts/install-deps.sh --bench.
#
# Usage: bench/gl_sink_cpu.sh [--frames N] [--runs N] [--format F] [--build DIR]
# Defaults: 600 frames, 5 runs of each case, I420, the tree build/vlc
# (preset vlc, without sanitizers).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=600 runs=5 format=I420 build=$root/build/vlc
usage() { sed -n '12,14s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --frames) frames=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --format) format=$2; shift 2 ;;
    --build) build=$(realpath "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $frames =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ ]] || usage
gst-inspect-1.0 glimagesink >/dev/null 2>&1 ||
  { echo "no glimagesink: scripts/install-deps.sh --bench installs it" >&2; exit 1; }
cmake --build "$build" -j2 --target gsttpp25frame >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GST_PLUGIN_PATH=$build/gstreamer-1.0 GST_REGISTRY=$work/registry.bin GST_DEBUG=tpp25frame:4 \
  GST_DEBUG_NO_COLOR=1 frames format work runs
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  set -euo pipefail
  element="tpp25frame mode=flash settings-file=none progress-db=none show-freq-from=1 show-freq-to=1"
  declare -A between=([composition]="$element !" [blend]="$element ! video/x-raw !" [none]="")
  declare -A said=([composition]="as an overlay composition" [blend]="blended into the frames" [none]="")
  cases=(composition blend none)
  declare -A seconds
  for ((run = 0; run < runs; ++run)); do
    for c in "${cases[@]}"; do
      /usr/bin/time -f "%U %S" -o "$work/time" gst-launch-1.0 -q videotestsrc num-buffers=$frames ! \
        video/x-raw,width=1920,height=1080,format=$format ! ${between[$c]} glimagesink sync=false \
        >"$work/log" 2>&1 || { echo "$c: gst-launch failed: $(tail -3 "$work/log")" >&2; exit 1; }
      if [[ -n ${said[$c]} ]] && ! grep -q "${said[$c]}" "$work/log"; then
        echo "$c: the element took the other path: $(grep ChoosePath "$work/log")" >&2
        exit 1
      fi
      seconds[$c]+="$(awk "{ print \$1 + \$2 }" "$work/time") "
    done
  done
  echo "gst-launch, videotestsrc 1920x1080 $format, $frames frames, glimagesink sync=false under Xvfb, $runs runs each"
  echo "(CPU seconds, user + system, of gst-launch; a caption on every frame)"
  printf "%-12s %-40s %-16s %s\n" case runs "median ms/frame" "over none"
  for c in none "${cases[@]:0:2}"; do
    median=$(tr " " "\n" <<<"${seconds[$c]}" | grep . | sort -g | awk "{ v[NR] = \$1 } END {
      print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }")
    [[ $c == none ]] && base=$median
    awk -v c="$c" -v runs="${seconds[$c]}" -v m="$median" -v b="$base" -v f="$frames" \
      "BEGIN { printf \"%-12s %-40s %-16.3f %+.3f\n\", c, runs, 1000 * m / f, 1000 * (m - b) / f }"
  done'
