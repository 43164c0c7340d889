#!/usr/bin/env bash
# The main job: a video through the plug-in. Decodes VIDEO (any file ffmpeg
# reads; without one, a 10-second 720x576 test clip it makes) to raw frames,
# pipes them through tpp-host.exe and TPP_25Frame.dll under Wine (or, with
# --native, through the Linux tpp-host and TPP_25Frame.so), encodes the
# result to an MP4 and writes a PNG contact sheet of frames that carry
# captions. Installs and builds what is missing.
#
# Usage: scripts/run-main.sh [VIDEO] [--format yuy2|rgb24] [--frames N]
#                            [--size WxH] [--plugin DLL|SO] [--out-dir DIR] [--native]
# Results: NAME.captions-FORMAT.mp4 and NAME.captions-FORMAT.png beside
# VIDEO (or in DIR); the default clip and its results go to build/main-job/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}

usage() {
  echo "usage: scripts/run-main.sh [VIDEO] [--format yuy2|rgb24] [--frames N] [--size WxH] [--plugin DLL|SO] [--out-dir DIR] [--native]" >&2
  exit "${1:-2}"
}
die() { echo "run-main: $*" >&2; exit 1; }

video="" format=yuy2 frames="" size="" plugin="" out_dir="" native=0
while (($#)); do
  case $1 in
    --format) format=${2:-}; shift 2 || usage ;;
    --frames) frames=${2:-}; shift 2 || usage ;;
    --size) size=${2:-}; shift 2 || usage ;;
    --plugin) plugin=${2:-}; shift 2 || usage ;;
    --out-dir) out_dir=${2:-}; shift 2 || usage ;;
    --native) native=1; shift ;;
    -h | --help) usage 0 ;;
    -*) echo "run-main: unknown option $1" >&2; usage ;;
    *) [[ -z $video ]] || usage; video=$1; shift ;;
  esac
done
[[ $format == yuy2 || $format == rgb24 ]] || die "--format takes yuy2 or rgb24, not '$format'"
[[ -z $frames || $frames =~ ^[1-9][0-9]*$ ]] || die "--frames takes a positive count, not '$frames'"
[[ -z $size || $size =~ ^[1-9][0-9]*x[1-9][0-9]*$ ]] || die "--size takes WxH, not '$size'"

bash "$root/scripts/install-deps.sh" --video
if ((native)); then
  # An optimised tree of its own: the sanitized build/native is for tests.
  tree=$build/native-release
  cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$tree" -j2 --target TPP_25Frame tpp-host >/dev/null
  plugin=${plugin:-$tree/bin/TPP_25Frame.so}
  host=$tree/bin/tpp-host
  run_host=("$host")
  drive=""
elif [[ -z $plugin ]]; then
  cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/win32" -j2 --target TPP_25Frame tpp-host >/dev/null
  plugin=$build/win32/bin/TPP_25Frame.dll
else
  [[ -f $build/win32/bin/tpp-host.exe ]] || cmake --build "$build/win32" -j2 --target tpp-host >/dev/null
fi
if ((!native)); then
  host=$build/win32/bin/tpp-host.exe
  run_host=("$root/scripts/wine-run.sh" "$build/win32/wineprefix" "$host")
  drive="Z:"  # Wine sees the Linux root as drive Z:
fi
[[ -f $plugin ]] || die "no plug-in at $plugin"

if [[ -z $video ]]; then
  out_dir=${out_dir:-$build/main-job}
  mkdir -p "$out_dir"
  video=$out_dir/default-clip.mp4
  if [[ ! -s $video ]]; then
    echo "run-main: making the default clip $video" >&2
    # A moving colour pattern, dimmed so that captions stand out on it.
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=10,eq=brightness=-0.3:saturation=0.6" \
      -f lavfi -i "sine=frequency=440:duration=10" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$video"
  fi
fi
[[ -r $video ]] || die "cannot read $video"
out_dir=${out_dir:-$(dirname "$video")}
mkdir -p "$out_dir"
name=$(basename "${video%.*}")
movie=$out_dir/$name.captions-$format.mp4
sheet=$out_dir/$name.captions-$format.png

# The stream's size and rate; YUY2 needs an even width. (H.264 needs even
# sizes too: the encoder pads an odd RGB24 frame by a line of black.)
probe=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,r_frame_rate -of csv=p=0 "$video") ||
  die "ffprobe cannot read $video"
IFS=, read -r width height rate <<<"$probe"
[[ -n $width && -n $rate ]] || die "$video has no video stream"
[[ -z $size ]] || { width=${size%x*}; height=${size#*x}; }
[[ $format == rgb24 ]] || width=$((width / 2 * 2))
((width > 0)) || die "frame width rounds to 0"

# RGB24 frames are stored bottom-up: flip on the way in and out.
if [[ $format == yuy2 ]]; then pix=yuyv422 flip=""; else pix=bgr24 flip=",vflip"; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
limit=()
[[ -z $frames ]] || limit=(-frames:v "$frames")

echo "run-main: $video -> ${width}x${height} $format at $rate fps through $(basename "$plugin")" >&2
set +e
ffmpeg -v error -nostdin -i "$video" "${limit[@]}" -vf "scale=$width:$height$flip" -r "$rate" \
  -pix_fmt "$pix" -f rawvideo - |
  "${run_host[@]}" --plugin "$drive$plugin" \
    --size "${width}x$height" --format "$format" --changed-frames "$drive$work/changed" |
  ffmpeg -v error -nostdin -y -f rawvideo -pix_fmt "$pix" -s "${width}x$height" -r "$rate" -i - \
    -i "$video" -map 0:v -map "1:a?" -vf "null$flip,pad=ceil(iw/2)*2:ceil(ih/2)*2" -c:v libx264 -crf 16 -pix_fmt yuv420p \
    -c:a aac -shortest -movflags +faststart "$movie"
status=("${PIPESTATUS[@]}")
set -e
[[ ${status[0]} -eq 0 ]] || die "decoding $video failed"
[[ ${status[1]} -eq 0 ]] || die "the host failed (exit ${status[1]})"
[[ ${status[2]} -eq 0 ]] || die "encoding $movie failed"

count=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$movie")
((count > 0)) || die "$movie holds no frames"

# Up to twelve frames for the sheet: those the plug-in changed, or, when it
# changed none, evenly spaced ones.
mapfile -t changed < <(tr -d '\r' <"$work/changed")
if ((${#changed[@]})); then
  pool=("${changed[@]}")
  what="frames with captions"
else
  pool=()
  for ((i = 0; i < 12 && i < count; i++)); do pool+=($((1 + i * count / (count < 12 ? count : 12)))); done
  what="evenly spaced frames: the plug-in changed no frame, so none carries a caption"
fi
picked=()
n=${#pool[@]}
for ((i = 0; i < 12 && i < n; i++)); do picked+=("${pool[i * n / (n < 12 ? n : 12)]}"); done
columns=1
while ((columns * columns < ${#picked[@]})); do columns=$((columns + 1)); done
rows=$(((${#picked[@]} + columns - 1) / columns))
select=$(printf '+eq(n\\,%d)' $(for f in "${picked[@]}"; do echo $((f - 1)); done))
thumb=$((width < 360 ? width : 360))
ffmpeg -v error -nostdin -y -i "$movie" \
  -vf "select='${select#+}',scale=$thumb:-2,tile=${columns}x$rows:padding=4:margin=4" \
  -frames:v 1 -fps_mode vfr "$sheet" || die "making the contact sheet failed"

echo "run-main: video: $movie ($count frames)"
echo "run-main: contact sheet: $sheet, $what: ${picked[*]}"
