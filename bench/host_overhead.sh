#!/usr/bin/env bash
# The plug-in's CPU time through the native host per 1920x1080 frame with a
# whole-frame caption held on every frame (BackType 2, a new caption every
# 100 frames, each shown for all 100), minus the same run with the caption
# off, against a warm memcpy of the frame's own bytes; YUY2 and RGB24. Each
# run's figure is the host process's CPU time, user and system; the least
# of --repeat runs counts (the machine's other work only ever adds). The
# host compares each frame with its copy: a frame the plug-in changed stops
# the comparison at its first byte, one it left alone is read to the end,
# so a memcmp of the frame is added back to the difference.
#
# Usage: bench/host_overhead.sh [--frames N] [--repeat N] [--opacity P] [--build DIR] [--plugin FILE]
# Defaults: 1000 frames, 5 runs, opacity 50, the Release tree build/bench;
# --plugin measures another build of the library (an older one, say). The
# frames are one picture over and over, written into the host's input pipe
# by a process of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=1000 repeat=5 opacity=50 build=$root/build/bench plugin=""
usage() { sed -n '12,16s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --frames) frames=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --opacity) opacity=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --plugin) plugin=$(realpath "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $frames =~ ^[1-9][0-9]*$ && $repeat =~ ^[1-9][0-9]*$ && $opacity =~ ^[0-9]+$ ]] || usage

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTPP_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target TPP_25Frame tpp-host tpp-frame-timing >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private host folder: the plug-in reads its settings beside the host.
mkdir -p "$work/Plugins"
cp "$build/bin/tpp-host" "$build/bin/tpp-frame-timing" "$work/"
cp "${plugin:-$build/bin/TPP_25Frame.so}" "$work/TPP_25Frame.so"
settings() {
  printf '[PluginSettings]\nShowFreqFrom=100\nShowFreqTo=100\nBackType=2\nTransparency=%s\n' "$opacity" \
    >"$work/Plugins/TPP_25Frame.ini"
  printf '%s\n' "$@" >>"$work/Plugins/TPP_25Frame.ini"
}

# CPU seconds, user and system, of one run of the host, fed the picture
# in $picture $frames times.
cpu_seconds() {
  python3 -c '
import resource, subprocess, sys
picture, frames = open(sys.argv[1], "rb").read(), int(sys.argv[2])
host = subprocess.Popen(sys.argv[3:], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
for _ in range(frames):
    host.stdin.write(picture)
host.stdin.close()
if host.wait() != 0:
    sys.exit("the host failed")
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(usage.ru_utime + usage.ru_stime)' "$picture" "$frames" "$@"
}
least_cpu() {
  local best="" t
  for ((i = 0; i < repeat; i++)); do
    t=$(cpu_seconds "$@")
    best=$(awk -v t="$t" -v b="$best" 'BEGIN { print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}

echo "tpp-host with the Linux plug-in, 1920x1080, $frames frames, BackType 2 at opacity $opacity, least of $repeat runs"
printf '%-6s %12s %12s %12s %14s %12s %9s\n' format "on cpu s" "off cpu s" "memcmp us" "plug-in us/f" "memcpy us" ratio
for format in yuy2 rgb24; do
  if [[ $format == yuy2 ]]; then pix=yuyv422; else pix=bgr24; fi
  picture=$work/picture.$format
  ffmpeg -v error -nostdin -f lavfi -i "testsrc2=size=1920x1080:rate=25" -frames:v 1 -pix_fmt "$pix" \
    -f rawvideo -y "$picture"
  host=("$work/tpp-host" --plugin "$work/TPP_25Frame.so" --size 1920x1080 --format "$format" --output /dev/null)
  settings ShowTimeFrom=100 ShowTimeTo=100
  on=$(least_cpu "${host[@]}")
  settings ShowTimeFrom=0 ShowTimeTo=0
  off=$(least_cpu "${host[@]}")
  read -r memcpy_ns memcmp_ns < <("$work/tpp-frame-timing" --plugin "$work/TPP_25Frame.so" --size 1920x1080 \
    --format "$format" --seconds 1 | sed -E 's/.*memcpy_cpu_ns=([0-9.]+) memcmp_cpu_ns=([0-9.]+).*/\1 \2/')
  awk -v f="$format" -v on="$on" -v off="$off" -v n="$frames" -v m="$memcpy_ns" -v c="$memcmp_ns" 'BEGIN {
    per = (on - off) * 1e6 / n + c / 1000
    printf "%-6s %12.3f %12.3f %12.1f %14.1f %12.1f %9.2f\n", f, on, off, c / 1000, per, m / 1000, per * 1000 / m }'
done
echo "ratio: the plug-in's CPU time per frame with the caption over a warm memcpy of the frame's bytes."
