#!/usr/bin/env bash
# ProcessFrame of the real plug-in library through its record, timed by
# tpp-frame-timing: a caption's first frame (a new caption every frame), a
# frame of a held caption and a gap frame, at 720x576 and 1920x1080, YUY2
# and RGB24, with the caption "niece" over its translation on a box at 50 %
# opacity (--opacity); each beside a warm memcpy of the frame's bytes. Natively the
# Linux plug-in (FreeType); with --wine the DLL (GDI) under Wine.
#
# Usage: bench/frame_timing.sh [--wine] [--build DIR] [--plugin FILE] [--seconds S] [--backtype N] [--opacity P]
# --build names the tree (default build/bench, Release; with --wine
# build/win32); --plugin times another build of the library, an older one
# say, with this tree's timing host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wine=0 build="" plugin="" seconds=2 backtype=1 opacity=50
usage() { sed -n '9,12s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --wine) wine=1; shift ;;
    --build) build=$2; shift 2 ;;
    --plugin) plugin=$(realpath "$2"); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --backtype) backtype=$2; shift 2 ;;
    --opacity) opacity=$2; shift 2 ;;
    *) usage ;;
  esac
done
[[ $backtype =~ ^[0-2]$ && $opacity =~ ^[0-9]+$ && $seconds =~ ^[0-9]+([.][0-9]+)?$ ]] || usage

if ((wine)); then
  build=${build:-$root/build/win32}
  [[ -f $build/CMakeCache.txt ]] ||
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  host_name=tpp-frame-timing.exe library_name=TPP_25Frame.dll
else
  build=${build:-$root/build/bench}
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTPP_BENCH=ON >/dev/null
  host_name=tpp-frame-timing library_name=TPP_25Frame.so
fi
cmake --build "$build" -j2 --target TPP_25Frame tpp-frame-timing >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private host folder: the plug-in reads its settings beside the host.
mkdir -p "$work/Plugins"
cp "$build/bin/$host_name" "$work/"
cp "${plugin:-$build/bin/$library_name}" "$work/$library_name"
printf 'niece - племянница\r\n' | iconv -f utf-8 -t cp1251 >"$work/words.dic"
if ((wine)); then
  words="Z:${work//\//\\}\\words.dic"
  timing() { "$root/scripts/wine-run.sh" "$build/wineprefix" "$work/$host_name" --plugin "$work/$library_name" "$@"; }
else
  words=$work/words.dic
  timing() { "$work/$host_name" --plugin "$work/$library_name" "$@"; }
fi

settings() {
  printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\nRndStringPos=0\r\nStringPosX=384\r\nStringPosY=288\r\n' \
    "$words" >"$work/Plugins/TPP_25Frame.ini"
  printf 'BackType=%s\r\nTransparency=%s\r\n' "$backtype" "$opacity" >>"$work/Plugins/TPP_25Frame.ini"
  printf '%s\r\n' "$@" >>"$work/Plugins/TPP_25Frame.ini"
}
forever=2000000000
declare -A case_settings=(
  [first]="ShowFreqFrom=1 ShowFreqTo=1 ShowTimeFrom=1 ShowTimeTo=1"
  [held]="ShowFreqFrom=$forever ShowFreqTo=$forever ShowTimeFrom=$forever ShowTimeTo=$forever"
  [gap]="ShowFreqFrom=$forever ShowFreqTo=$forever ShowTimeFrom=1 ShowTimeTo=1"
)

echo "$library_name$( ((wine)) && echo ' under Wine'), BackType $backtype, opacity $opacity; CPU and wall time per frame, and per frame over a warm memcpy of its bytes"
printf '%-10s %-6s %-6s %12s %12s %10s\n' size format frame "cpu ns" "wall ns" x_memcpy
for size in 720x576 1920x1080; do
  for format in yuy2 rgb24; do
    declare -A cpu=()
    for kind in first held gap; do
      # shellcheck disable=SC2086
      settings ${case_settings[$kind]}
      line=$(timing --size "$size" --format "$format" --seconds "$seconds" 2>/dev/null | tr -d '\r')
      [[ $line == frames=* ]] || { echo "frame_timing: no timing for $size $format $kind" >&2; exit 1; }
      read -r _ cpu_ns wall_ns memcpy_ns < <(sed -E 's/[a-z_]+=//g' <<<"$line")
      cpu[$kind]=$cpu_ns
      awk -v s="$size" -v f="$format" -v k="$kind" -v c="$cpu_ns" -v w="$wall_ns" -v m="$memcpy_ns" \
        'BEGIN { printf "%-10s %-6s %-6s %12.1f %12.1f %10.3g\n", s, f, k, c, w, c / m }'
    done
    awk -v h="${cpu[held]}" -v f="${cpu[first]}" 'BEGIN { printf "%30s held/first %.3f\n", "", h / f }'
  done
done
