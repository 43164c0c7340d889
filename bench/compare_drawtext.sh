#!/usr/bin/env bash
# The Linux plug-in through tpp-host against ffmpeg's drawtext, on the same
# raw clips (720x576 and 1920x1080, YUY2 and RGB24): a caption drawn on
# every frame by each, and a plain copy through each. Prints frames per
# second, the cost per drawn frame above the tool's plain copy, and the
# ratios; then the ProcessFrame micro-benchmark at both sizes (a caption's
# first frame, a held one and a gap frame, with the box drawtext draws).
#
# Usage: bench/compare_drawtext.sh [--frames N] [--repeat N] [--build DIR] [--no-micro]
# Each time is the best of --repeat runs (default 3) of N frames (default 300).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=300 repeat=3 build=$root/build/bench micro=1
while (($#)); do
  case $1 in
    --frames) frames=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --no-micro) micro=0; shift ;;
    *) echo "usage: bench/compare_drawtext.sh [--frames N] [--repeat N] [--build DIR] [--no-micro]" >&2; exit 2 ;;
  esac
done
[[ $frames =~ ^[1-9][0-9]*$ && $repeat =~ ^[1-9][0-9]*$ ]] || { echo "--frames and --repeat take counts" >&2; exit 2; }

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTPP_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target TPP_25Frame tpp-host freetype_frame_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private host folder, so the settings below are the ones it reads.
mkdir -p "$work/host/Plugins"
cp "$build/bin/tpp-host" "$build/bin/TPP_25Frame.so" "$work/host/"
host() { "$work/host/tpp-host" --plugin "$work/host/TPP_25Frame.so" "$@" 2>/dev/null; }
settings() { printf '[PluginSettings]\n%s\n' "$@" >"$work/host/Plugins/TPP_25Frame.ini"; }
# A caption on every frame; or, for the plain copy, never one.
drawn_settings=(ShowFreqFrom=1 ShowFreqTo=1 ShowTimeFrom=1 ShowTimeTo=1 BackType=1 Transparency=50)
copy_settings=(ShowFreqFrom=2000000000 ShowFreqTo=2000000000 ShowTimeFrom=0 ShowTimeTo=0)

# The caption drawtext draws: two lines, the plug-in's default font
# (Arial, 40 units of the 576-line canvas), a box at 50 % opacity.
printf 'niece\nплемянница' >"$work/caption.txt"
font=$(fc-match -f '%{file}' Arial)

best_of() {  # command...: prints the best wall time in seconds
  local best="" start end
  for ((i = 0; i < repeat; i++)); do
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}

printf '%-10s %-6s %11s %11s %11s %11s %12s %12s %11s %10s\n' size format \
  "plugin fps" "copy fps" "drawtext" "ff copy" "plugin ms/f" "drawtxt ms/f" "cost ratio" "fps ratio"
for size in 720x576 1920x1080; do
  width=${size%x*} height=${size#*x}
  fontsize=$((40 * height / 576))
  for format in yuy2 rgb24; do
    if [[ $format == yuy2 ]]; then pix=yuyv422 flip=""; else pix=bgr24 flip=",vflip"; fi
    clip=$work/clip.$format
    ffmpeg -v error -nostdin -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v "$frames" -vf "null$flip" \
      -pix_fmt "$pix" -f rawvideo -y "$clip"
    raw_in=(-v error -nostdin -f rawvideo -pix_fmt "$pix" -s "$size" -i "$clip")
    raw_out=(-f rawvideo -pix_fmt "$pix" -y /dev/null)

    settings "${drawn_settings[@]}"
    t_plugin=$(best_of host --size "$size" --format "$format" --input "$clip" --output /dev/null)
    settings "${copy_settings[@]}"
    t_copy=$(best_of host --size "$size" --format "$format" --input "$clip" --output /dev/null)
    drawtext="drawtext=fontfile=$font:textfile=$work/caption.txt:fontsize=$fontsize:fontcolor=0xFFA000"
    drawtext+=":box=1:boxcolor=white@0.5:boxborderw=2:x=(w-text_w)/2:y=h*537/576-text_h/2"
    t_drawtext=$(best_of ffmpeg "${raw_in[@]}" -vf "$drawtext" "${raw_out[@]}")
    t_ffcopy=$(best_of ffmpeg "${raw_in[@]}" "${raw_out[@]}")

    awk -v n="$frames" -v size="$size" -v format="$format" -v p="$t_plugin" -v c="$t_copy" \
      -v d="$t_drawtext" -v f="$t_ffcopy" 'BEGIN {
        pc = (p - c) * 1000 / n; dc = (d - f) * 1000 / n
        printf "%-10s %-6s %11.1f %11.1f %11.1f %11.1f %12.3f %12.3f %11.2f %10.2f\n", size, format,
          n / p, n / c, n / d, n / f, pc, dc, (dc > 0 ? pc / dc : 0), (n / p) / (n / d)
      }'
    rm -f "$clip"
  done
done
echo "cost ratio: the plug-in's cost per drawn frame over drawtext's (below 1: the plug-in is cheaper);"
echo "fps ratio: the plug-in's whole-process frames per second over drawtext's (above 1: the plug-in is faster)."
echo "A cost near zero or below it is within the run-to-run noise of whole runs; freetype_frame_bench below"
echo "times ProcessFrame alone."

if ((micro)); then
  echo
  "$build/bin/freetype_frame_bench" --benchmark_min_time=0.2 --benchmark_filter='backtype:1|gap'
fi
