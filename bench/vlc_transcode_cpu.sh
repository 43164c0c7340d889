#!/usr/bin/env bash
# The VLC filter's CPU time in a 1920x1080 transcode: cvlc reads a Y4M clip
# (I420) and writes raw I420 to /dev/null, with vfilter=tpp25frame and
# without, so that no converter runs either way. Each run's figure is the
# CPU time (user + system) of the whole cvlc process; the runs of the
# cases alternate, and the median of each case is printed, per frame.
# cvlc runs as an ordinary user (tests/vlc/as-user.sh): Debian's VLC
# refuses root. The filter runs without settings file or progress store,
# once with its default schedule and once with a caption on every frame.
#
# Usage: bench/vlc_transcode_cpu.sh [--frames N] [--runs N] [--build DIR]
# Defaults: 300 frames, 5 runs of each case, the tree build/vlc (preset vlc).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=300 runs=5 build=$root/build/vlc
usage() { sed -n '11,12s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --frames) frames=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --build) build=$(realpath "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $frames =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ ]] || usage
cmake --build "$build" -j2 --target tpp25frame_plugin >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -loglevel error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v "$frames" -pix_fmt yuv420p \
  "$work/clip.y4m"
declare -A filter=(
  [none]=""
  [defaults]=",vfilter=tpp25frame{mode=flash,settings-file=none,progress-db=none}"
  [every-frame]=",vfilter=tpp25frame{mode=flash,settings-file=none,progress-db=none,show-freq-from=1,show-freq-to=1}"
)
cases=(none defaults every-frame)
# The CPU seconds of one transcode.
cpu_of() {
  /usr/bin/time -f '%U %S' -o "$work/time" bash "$root/tests/vlc/as-user.sh" "$work" \
    env VLC_PLUGIN_PATH="$build/vlc-plugins" cvlc -q --no-plugins-cache -I dummy --play-and-exit "$work/clip.y4m" \
    --sout "#transcode{vcodec=I420$1}:std{access=file,mux=raw,dst=/dev/null}" vlc://quit >"$work/log" 2>&1 ||
    { echo "cvlc failed: $(tail -3 "$work/log")" >&2; exit 1; }
  awk '{ print $1 + $2 }' "$work/time"
}
declare -A seconds
for ((run = 0; run < runs; ++run)); do
  for c in "${cases[@]}"; do seconds[$c]+="$(cpu_of "${filter[$c]}") "; done
done
echo "cvlc, 1920x1080 I420, $frames frames, $runs runs each (CPU seconds, user + system, of the whole process)"
# The process's start and end are in every case: the difference to none
# is the filter's.
printf '%-12s %-48s %-16s %s\n' case runs "median ms/frame" "over none"
for c in "${cases[@]}"; do
  median=$(tr ' ' '\n' <<<"${seconds[$c]}" | grep . | sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
  [[ $c == none ]] && base=$median
  awk -v c="$c" -v runs="${seconds[$c]}" -v m="$median" -v b="$base" -v f="$frames" \
    'BEGIN { printf "%-12s %-48s %-16.3f %+.3f\n", c, runs, 1000 * m / f, 1000 * (m - b) / f }'
done
