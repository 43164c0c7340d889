#!/usr/bin/env bash
# The main job: a video through the plug-in, with captions (--help says how).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}

help() {
  cat <<'TEXT'
Usage: scripts/run-main.sh [VIDEO] [options]

Puts a video through the TPP_25Frame plug-in as a TV application would: it
decodes VIDEO (any file ffmpeg reads) to raw frames, runs them through
tpp-host.exe and TPP_25Frame.dll under Wine (with --native, through the Linux
tpp-host and TPP_25Frame.so) and encodes the result with the input's sound.
Without VIDEO it makes a 10-second 720x576 test clip at 25 fps,
build/main-job/default-clip.mp4, and works on that.

Results, beside VIDEO or in --out-dir:
  NAME.captions-FORMAT.mp4   the video with its captions
  NAME.captions-FORMAT.png   a contact sheet of up to twelve frames with captions
With --native they are NAME.captions-native-FORMAT.mp4 and .png, so that a
run under Wine and a native one keep their results side by side.

Options:
  --format yuy2|rgb24   the frames the plug-in gets (default yuy2)
  --frames N            stop after N frames
  --size WxH            scale the frames to this size first
  --out-dir DIR         where the results go
  --native              the Linux plug-in and host instead of Wine
  --plugin FILE         this plug-in instead of the one it builds
  --host FILE           this host instead of the one it builds
  -h, --help            this text

It installs what the machine lacks (ffmpeg; mingw-w64 and Wine, or with
--native the native compilers, FreeType and fontconfig) and builds the
plug-in and the host in optimised trees of their own, build/win32-release or
build/native-release (TPP_BUILD_DIR moves build/); the first build takes
about a minute, and it says so. The plug-in keeps its settings in
Plugins/TPP_25Frame.ini beside the host.

Exit status: 0 when the video was made and the plug-in put captions on it;
2 for a bad command line; 1 when a stage fails, which it names (installing,
building, decoding, loading the plug-in, processing, encoding); 3 when the
video was made but no frame got a caption: it says why it can (the word list
that the settings choose is empty, or did not exist and the plug-in made it
empty), and the host's messages above it say what the plug-in found. The
video and its sheet are kept then, to look at. Interrupted (Ctrl-C, SIGTERM)
it ends by that signal, as the host does (a shell reports 130 or 143), so a
loop around it stops. An interrupted or failed run leaves no partial MP4 or
PNG behind.
TEXT
}
usage() {
  echo "usage: scripts/run-main.sh [VIDEO] [--format yuy2|rgb24] [--frames N] [--size WxH] [--out-dir DIR]" \
    "[--native] [--plugin FILE] [--host FILE] [--help]" >&2
  exit 2
}
die() { echo "run-main: $*" >&2; exit 1; }
# A stage's failure with the end of its log.
die_with_log() {
  tail -n 15 "$2" >&2
  die "$1"
}

needs_value() { (($# >= 2)) || { echo "run-main: $1 needs a value" >&2; usage; }; }

video="" format=yuy2 frames="" size="" plugin="" host="" out_dir="" native=0
while (($#)); do
  case $1 in
    --format) needs_value "$@"; format=$2; shift 2 ;;
    --frames) needs_value "$@"; frames=$2; shift 2 ;;
    --size) needs_value "$@"; size=$2; shift 2 ;;
    --plugin) needs_value "$@"; plugin=$2; shift 2 ;;
    --host) needs_value "$@"; host=$2; shift 2 ;;
    --out-dir) needs_value "$@"; out_dir=$2; shift 2 ;;
    --native) native=1; shift ;;
    -h | --help) help; exit 0 ;;
    -*) echo "run-main: unknown option $1" >&2; usage ;;
    *) [[ -z $video ]] || { echo "run-main: one video at a time" >&2; usage; }
      video=$1; shift ;;
  esac
done
[[ $format == yuy2 || $format == rgb24 ]] || die "--format takes yuy2 or rgb24, not '$format'"
[[ -z $frames || $frames =~ ^[1-9][0-9]*$ ]] || die "--frames takes a positive count, not '$frames'"
[[ -z $size || $size =~ ^[1-9][0-9]*x[1-9][0-9]*$ ]] || die "--size takes WxH, not '$size'"
for given in "$plugin" "$host"; do [[ -z $given || -f $given ]] || die "no such file: $given"; done

work=$(mktemp -d)
partial=()
clean_up() { rm -rf "$work" "${partial[@]}"; }
trap clean_up EXIT
# Bash runs these once the stage in hand has ended: what is only half made
# is removed, then the job dies of the same signal, so that a loop around
# it stops as it would for the host alone.
die_of() {
  clean_up
  trap - EXIT "$1"
  kill -"$1" $$
}
trap 'die_of INT' INT
trap 'die_of TERM' TERM

# Installing and building: only what this run needs.
groups=(--video)
if ((native)); then groups+=(--native); else groups+=(--wine); fi
[[ -n $plugin && -n $host ]] || { ((native)) || groups+=(--mingw); }
bash "$root/scripts/install-deps.sh" "${groups[@]}" || die "installing packages failed"
if [[ -z $plugin || -z $host ]]; then
  # The first build is a minute of silence otherwise; later ones only
  # bring the tree up to date.
  if ((native)); then tree=$build/native-release what="the Linux plug-in and host"; built=(TPP_25Frame.so tpp-host)
  else tree=$build/win32-release what="the DLL and tpp-host.exe"; built=(TPP_25Frame.dll tpp-host.exe); fi
  first=0
  for file in "${built[@]}"; do [[ -f $tree/bin/$file ]] || first=1; done
  ((first == 0)) || echo "run-main: building $what in $tree (once, about a minute)..." >&2
  if ((native)); then
    { cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTPP_TESTS=OFF &&
      cmake --build "$tree" -j"$(nproc)" --target TPP_25Frame tpp-host; } >"$work/build.log" 2>&1 ||
      die_with_log "building the Linux plug-in and host failed" "$work/build.log"
    built=("$tree/bin/TPP_25Frame.so" "$tree/bin/tpp-host")
  else
    mapfile -t built < <(TPP_BUILD_DIR=$build bash "$root/scripts/build-dll.sh" --with-host) &&
      ((${#built[@]} == 2)) || die "building the DLL and the host failed"
  fi
  ((first == 0)) || echo "run-main: built" >&2
  plugin=${plugin:-${built[0]}}
  host=${host:-${built[1]}}
fi
if ((native)); then
  run_host=("$host")
  drive=""
else
  prefix=$build/win32/wineprefix
  run_host=("$root/scripts/wine-run.sh" "$prefix" "$host")
  drive="Z:"  # Wine sees the Linux root as drive Z:
  [[ -f $prefix/system.reg ]] || { preparing=1; echo "run-main: preparing Wine's prefix $prefix (once, about half a minute)..." >&2; }
fi
"${run_host[@]}" --plugin "$drive$plugin" --info >/dev/null 2>"$work/load.log" ||
  die_with_log "the plug-in $plugin does not load in $(basename "$host")" "$work/load.log"
((${preparing:-0} == 0)) || echo "run-main: Wine's prefix is ready" >&2

# The word list that the settings choose, if they choose one, and whether
# it is there yet: a missing one gives no captions at all, so the job says
# so at the end.
settings=$(dirname "$host")/Plugins/TPP_25Frame.ini
if ((native)) && [[ ${TPP_STORE_IN_USERS_FOLDER:-0} =~ ^-?0*[1-9][0-9]*$ ]]; then
  config=${XDG_CONFIG_HOME:-}
  [[ $config == /* ]] || config=$HOME/.config
  settings=$config/Telvoria/Plugins/TPP_25Frame.ini
fi
setting() { [[ -f $settings ]] && tr -d '\r' <"$settings" | sed -n "s/^$1=//p" | tail -1; }
word_list="" word_list_was_there=0
if [[ $(setting DicType) == 1 ]]; then
  word_list=$(setting DicFileName)
  path=$word_list
  if ((!native)); then
    # A Windows path through the prefix's drive links (Z: is /), or one
    # relative to the folder the host runs in.
    path=${path//\\//}
    [[ ! $path =~ ^([A-Za-z]):(.*)$ ]] || path=$prefix/dosdevices/${BASH_REMATCH[1],,}:${BASH_REMATCH[2]}
  fi
  [[ -z $path || ! -e $path ]] || word_list_was_there=1
fi

if [[ -z $video ]]; then
  out_dir=${out_dir:-$build/main-job}
  mkdir -p "$out_dir"
  video=$out_dir/default-clip.mp4
  if [[ ! -s $video ]]; then
    echo "run-main: making the default clip $video" >&2
    partial+=("$video")
    # A moving colour pattern, dimmed so that captions stand out on it.
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=10,eq=brightness=-0.3:saturation=0.6" \
      -f lavfi -i "sine=frequency=440:duration=10" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$video" ||
      die "making the default clip failed"
    partial=()
  fi
fi
[[ -r $video ]] || die "cannot read $video"
out_dir=${out_dir:-$(dirname "$video")}
mkdir -p "$out_dir"
name=$(basename "${video%.*}")
# The native plug-in's results beside the DLL's, not over them.
kind=$format
((native == 0)) || kind=native-$format
movie=$out_dir/$name.captions-$kind.mp4
sheet=$out_dir/$name.captions-$kind.png
# Made under hidden names in the same folder, then renamed: the final names
# only ever hold complete files.
partial_movie=$out_dir/.$name.captions-$kind.$$.mp4
partial_sheet=$out_dir/.$name.captions-$kind.$$.png
partial=("$partial_movie" "$partial_sheet")

# The stream's size and rate; YUY2 needs an even width. (H.264 needs even
# sizes too: the encoder pads an odd RGB24 frame by a line of black.)
probe=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,r_frame_rate -of csv=p=0 "$video") ||
  die "decoding failed: ffprobe cannot read $video"
IFS=, read -r width height rate <<<"$probe"
[[ -n $width && -n $rate ]] || die "decoding failed: $video has no video stream"
[[ -z $size ]] || { width=${size%x*}; height=${size#*x}; }
[[ $format == rgb24 ]] || width=$((width / 2 * 2))
((width > 0)) || die "frame width rounds to 0"

# RGB24 frames are stored bottom-up: flip on the way in and out.
if [[ $format == yuy2 ]]; then pix=yuyv422 flip=""; else pix=bgr24 flip=",vflip"; fi
limit=()
[[ -z $frames ]] || limit=(-frames:v "$frames")

echo "run-main: $video -> ${width}x${height} $format at $rate fps through $(basename "$plugin")" >&2
set +e
ffmpeg -v error -nostdin -i "$video" "${limit[@]}" -vf "scale=$width:$height$flip" -r "$rate" \
  -pix_fmt "$pix" -f rawvideo - 2>"$work/decode.log" |
  "${run_host[@]}" --plugin "$drive$plugin" \
    --size "${width}x$height" --format "$format" --changed-frames "$drive$work/changed" |
  ffmpeg -v error -nostdin -y -f rawvideo -pix_fmt "$pix" -s "${width}x$height" -r "$rate" -i - \
    -i "$video" -map 0:v -map "1:a?" -vf "null$flip,pad=ceil(iw/2)*2:ceil(ih/2)*2" -c:v libx264 -crf 16 -pix_fmt yuv420p \
    -c:a aac -shortest -movflags +faststart "$partial_movie" 2>"$work/encode.log"
status=("${PIPESTATUS[@]}")
set -e
# A stage that fails breaks its neighbours' pipes: the decoder then sees
# a broken pipe, the host a failed write or an input cut short. The cause
# is named, not its echoes.
decoded=${status[0]} processed=${status[1]} encoded=${status[2]}
if ((processed == 130 || processed == 143)); then
  echo "run-main: the host was interrupted" >&2
  exit "$processed"
fi
((decoded == 0)) || grep -qi 'broken pipe' "$work/decode.log" || die_with_log "decoding $video failed" "$work/decode.log"
((encoded == 0)) || die_with_log "encoding $movie failed" "$work/encode.log"
((processed == 0)) || die "processing failed: the host exited with status $processed (its messages are above)"
((decoded == 0)) || die_with_log "decoding $video failed" "$work/decode.log"

count=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 \
  "$partial_movie")
((count > 0)) || die "encoding failed: the video holds no frames"
mv -f "$partial_movie" "$movie"

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
  -frames:v 1 -fps_mode vfr "$partial_sheet" 2>"$work/sheet.log" ||
  die_with_log "making the contact sheet failed" "$work/sheet.log"
mv -f "$partial_sheet" "$sheet"

echo "run-main: video: $movie ($count frames)"
echo "run-main: contact sheet: $sheet, $what: ${picked[*]}"

# A video without a caption has missed the job's point: status 3, and why.
if ((${#changed[@]} == 0)); then
  chosen="the word list that $settings chooses, $word_list,"
  if [[ -n $word_list ]] && ((!word_list_was_there)); then
    why="$chosen did not exist: the plug-in made it, empty"
  elif [[ -n $word_list ]] && ! sed '1s/^\xEF\xBB\xBF//' "$path" 2>/dev/null | grep -q '[^[:space:]-]'; then
    why="$chosen has no entries"
  else
    word_list=""
    why="the host's messages above say what the plug-in found"
  fi
  echo "run-main: no frame got a caption: $why" >&2
  [[ -z $word_list ]] || echo "run-main: put 'word - translation' lines in it, or choose the built-in dictionary" \
    "(DicType=0)" >&2
  exit 3
fi
