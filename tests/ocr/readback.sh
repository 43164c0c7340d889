#!/usr/bin/env bash
# Draws captions over pictures through a real front end and reads them back
# with tesseract, as a viewer would read them: the caption is found by the
# pixels the plug-in changed, cropped with a little of the picture around
# it, scaled up, and read with the language packs of its lines.
usage() {
  cat <<'EOF'
Usage: readback.sh FRONT --probe FILE --words FILE (--picture FILE... | --grey LEVEL)
                   [OPTION...] [PROPERTY=VALUE...]
FRONT is one of
  --element                        gst-launch-1.0 with the element tpp25frame, as the
                                   environment finds it (GST_PLUGIN_PATH)
  --host HOST PLUGIN               the native tpp-host with TPP_25Frame.so
  --dll WINE_RUN PREFIX HOST DLL   tpp-host.exe with TPP_25Frame.dll under Wine
Options:
  --probe FILE       caption-probe, the helper built beside the tests
  --words FILE       the word list ("word - translation" a line), walked A to Z
  --picture FILE     a picture to draw over (any number; any file ffmpeg reads)
  --grey LEVEL       one plain grey frame (0-255) instead of pictures
  --captions K       captions over each picture (default 8)
  --every N          a caption every N frames (default 1)
  --size WxH         frame size (default 720x576)
  --format F         yuy2 (default) or rgb: BGR for the element, RGB24 for the hosts
  --lang L           tesseract languages for every caption (default: those of its lines)
  --psm N            tesseract's page segmentation mode (default 6, one block)
  --scale S          crops scaled up S times (default 2)
  --label TEXT       names the run in its messages
  --require-all      exit status 1 unless every caption is read
  --verbose          one line for each caption: what it is and what was read
  --keep DIR         keep the crops and what tesseract read in DIR
PROPERTY=VALUE sets one of the element's properties (the hosts get the same
setting in their settings file). The run owns the schedule, the order and
the word list: a caption every N frames, held one frame, A to Z from the
list's first entry.
A caption counts as read when the text read holds each of its lines,
compared without regard to case and white space. Exit status: 0, or 1 for
a caption not read under --require-all or a failure, 2 for a bad command line.
EOF
}
set -euo pipefail
die() { echo "readback: $*" >&2; exit 1; }
bad_usage() { echo "readback: $*" >&2; echo "Try readback.sh --help" >&2; exit 2; }

front="" probe="" words="" grey="" captions=8 every=1 size=720x576 format=yuy2 lang="" psm=6 scale=2
label="" require_all=0 verbose=0 keep=""
pictures=() properties=() front_args=()
while (($#)); do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --element) front=element ;;
    --host) (($# >= 3)) || bad_usage "--host needs HOST PLUGIN"; front=host front_args=("$2" "$3"); shift 2 ;;
    --dll) (($# >= 5)) || bad_usage "--dll needs WINE_RUN PREFIX HOST DLL"
      front=dll front_args=("$2" "$3" "$4" "$5"); shift 4 ;;
    --probe | --words | --picture | --grey | --captions | --every | --size | --format | --lang | --psm | --scale | \
      --label | --keep)
      (($# >= 2)) || bad_usage "$1 needs a value"
      case $1 in
        --probe) probe=$2 ;; --words) words=$2 ;; --picture) pictures+=("$2") ;; --grey) grey=$2 ;;
        --captions) captions=$2 ;; --every) every=$2 ;; --size) size=$2 ;; --format) format=$2 ;;
        --lang) lang=$2 ;; --psm) psm=$2 ;; --scale) scale=$2 ;; --label) label=$2 ;; --keep) keep=$2 ;;
      esac
      shift ;;
    --require-all) require_all=1 ;;
    --verbose) verbose=1 ;;
    -*) bad_usage "unknown option $1" ;;
    *=*) properties+=("$1") ;;
    *) bad_usage "not a property=value: $1" ;;
  esac
  shift
done
[[ -n $front ]] || bad_usage "no front end given"
[[ -x $probe ]] || bad_usage "no caption-probe (--probe)"
[[ -f $words ]] || bad_usage "no word list (--words)"
[[ -n $grey || ${#pictures[@]} -gt 0 ]] || bad_usage "no picture and no --grey"
[[ -z $grey || ${#pictures[@]} -eq 0 ]] || bad_usage "--grey and --picture together"
[[ $captions =~ ^[1-9][0-9]*$ && $every =~ ^[1-9][0-9]*$ && $every -le 200 ]] || bad_usage "bad --captions or --every"
[[ $size =~ ^([1-9][0-9]*)x([1-9][0-9]*)$ ]] || bad_usage "bad --size $size"
width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]}
((width % 4 == 0)) || bad_usage "the width is to be a multiple of 4"
case $format in yuy2 | rgb) ;; *) bad_usage "bad --format $format" ;; esac
for setting in "${properties[@]}"; do
  case ${setting%%=*} in
    dictionary | settings-file | dic-type | dic-file-name | rules-type | show-freq-from | show-freq-to | \
      show-time-from | show-time-to | cur-ext-entry | cur-int-entry)
      bad_usage "${setting%%=*} is the run's own: the schedule, order and word list are fixed" ;;
  esac
done
# The front end runs from the work folder, Wine with its own idea of paths.
for i in "${!front_args[@]}"; do front_args[i]=$(realpath "${front_args[i]}"); done
command -v tesseract >/dev/null || die "tesseract is missing (scripts/install-deps.sh --ocr)"
[[ -n $grey ]] || command -v ffmpeg >/dev/null || die "ffmpeg is missing (scripts/install-deps.sh --video)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/crops" "$work/read"
# Programs of the system run without a sanitizer runtime that a test's
# environment preloads for gst-launch; tesseract on one thread, as the
# cores are shared.
plain() { env -u LD_PRELOAD OMP_THREAD_LIMIT=1 "$@"; }

# The entries in the order the plug-in walks them: languages, scripts, lines.
"$probe" entries "$words" >"$work/entries" || die "cannot read the word list $words"
mapfile -t entries <"$work/entries"
count=${#entries[@]}
cp "$words" "$work/words.dic"

# Frame formats: the element's and the hosts' names, and the probe's.
if [[ $format == yuy2 ]]; then
  caps_format=YUY2 host_format=yuy2 probe_format=yuy2 pix=yuyv422 flip=""
elif [[ $front == element ]]; then
  caps_format=BGR probe_format=bgr pix=bgr24 flip=""
else
  host_format=rgb24 probe_format=rgb24 pix=bgr24 flip=",vflip"
fi
bytes_per_pixel=3
[[ $format == rgb ]] || bytes_per_pixel=2
frame_bytes=$((width * height * bytes_per_pixel))

# One frame of each picture, in the front end's format.
sources=()
if [[ -n $grey ]]; then
  "$probe" grey "$size" "$probe_format" "$grey" >"$work/picture-0.raw" || die "bad --grey $grey"
  sources=("grey $grey")
else
  for i in "${!pictures[@]}"; do
    # Filled to the frame's proportions, the excess cut off evenly.
    plain ffmpeg -v error -nostdin -i "${pictures[$i]}" -frames:v 1 \
      -vf "scale=$width:$height:force_original_aspect_ratio=increase,crop=$width:$height$flip" \
      -pix_fmt "$pix" -f rawvideo -y "$work/picture-$i.raw" || die "cannot read the picture ${pictures[$i]}"
    name=${pictures[$i]##*/}
    sources+=("${name%.*}")
  done
fi
for i in "${!sources[@]}"; do cat "$work/picture-$i.raw"; done >"$work/originals"
each=$((captions * every))
produce() {
  for i in "${!sources[@]}"; do
    for ((f = 0; f < each; f++)); do cat "$work/picture-$i.raw"; done
  done
}

# Caption c is on frame c * every + 1 and shows entry c modulo the count.
schedule=(show-freq-from="$every" show-freq-to="$every" show-time-from=1 show-time-to=1)
first_entry=$((count - 1))
case $front in
  element)
    elements=()
    for setting in "${properties[@]}"; do
      name=${setting%%=*} value=${setting#*=} escaped=""
      # The pipeline parser takes a backslash before any byte as that byte.
      for ((i = 0; i < ${#value}; i++)); do
        c=${value:i:1}
        [[ $c == [A-Za-z0-9._/-] ]] || escaped+='\'
        escaped+=$c
      done
      elements+=("$name=$escaped")
    done
    run_front() {
      gst-launch-1.0 -q fdsrc fd=0 blocksize="$frame_bytes" \
        ! rawvideoparse format="${caps_format,,}" width="$width" height="$height" framerate=25/1 \
        ! tpp25frame mode=flash settings-file='""' dictionary="$work/words.dic" rules-type=a-z "${schedule[@]}" \
        cur-ext-entry="$first_entry" "${elements[@]}" \
        ! fdsink fd=1
    }
    front_name="the element" ;;
  host | dll)
    mkdir -p "$work/host/Plugins"
    if [[ $front == host ]]; then
      cp "${front_args[0]}" "$work/host/tpp-host"
      cp "${front_args[1]}" "$work/host/TPP_25Frame.so"
      dic_path=$work/words.dic front_name="the Linux plug-in"
      run_front() {
        "$work/host/tpp-host" --plugin "$work/host/TPP_25Frame.so" --size "$size" --format "$host_format"
      }
    else
      cp "${front_args[2]}" "$work/host/tpp-host.exe"
      cp "${front_args[3]}" "$work/host/TPP_25Frame.dll"
      dic_path="Z:${work//\//\\}\\words.dic" front_name="the DLL under Wine"
      run_front() {
        "${front_args[0]}" "${front_args[1]}" "$work/host/tpp-host.exe" --plugin "$work/host/TPP_25Frame.dll" \
          --size "$size" --format "$host_format"
      }
    fi
    lines=$("$probe" settings "${properties[@]}" "${schedule[@]}" rules-type=a-z cur-ext-entry="$first_entry") ||
      bad_usage "the settings cannot be given to the host"
    printf '[PluginSettings]\r\nDicType=1\r\nDicFileName=%s\r\n%s\r\n' "$dic_path" "${lines//$'\n'/$'\r\n'}" \
      >"$work/host/Plugins/TPP_25Frame.ini" ;;
esac
[[ -n $label ]] || label=$front_name

# The frames through the front end; the probe crops each changed one.
produce | run_front 2>"$work/front.log" |
  "$probe" crop "$size" "$probe_format" "$work/originals" "$each" "$work/crops" 12 "$scale" >"$work/boxes" ||
  die "$label: the frames did not go through: $(tail -5 "$work/front.log")"
# The element goes on after a value it refuses (it keeps the property's
# value) and after a warning on the bus: neither run is the one asked for.
if [[ $front == element ]] && grep -qE 'WARNING|CRITICAL' "$work/front.log"; then
  die "$label: $(grep -E 'WARNING|CRITICAL' "$work/front.log" | head -3)"
fi

# Each line of a caption is read with its own language's pack, as a
# reader who knows the language reads it: the crop goes to tesseract once
# for each language of its lines. All crops of one language go in one run:
# a list file in, and out a table with a row for every page (each crop's,
# even one where nothing was read) and one for every word, with its page,
# block, paragraph and line.
total=$((${#sources[@]} * captions))
declare -A box_of=()
while read -r frame x y w h; do box_of[$frame]="$x $y $w $h"; done <"$work/boxes"
declare -A languages_used=()
for ((c = 0; c < total; c++)); do
  frame=$((c * every + 1))
  unset "box_of[$frame]"
  [[ -f $work/crops/$frame.ppm ]] || continue
  IFS=$'\t' read -r languages _ <<<"${entries[c % count]}"
  [[ -z $lang ]] || languages=$lang
  for language in $(tr ',' '\n' <<<"$languages" | sort -u); do
    echo "$work/crops/$frame.ppm" >>"$work/list-$language"
    languages_used[$language]=1
  done
done
# A changed frame that the schedule gives no caption would mean the order
# or the schedule is not what the run asked for.
((${#box_of[@]} == 0)) || die "$label: frames changed outside the schedule: ${!box_of[*]}"
for language in "${!languages_used[@]}"; do
  mkdir "$work/read/$language"
  plain tesseract "$work/list-$language" stdout -l "$language" --psm "$psm" tsv 2>"$work/tesseract.log" \
    >"$work/table-$language" || die "tesseract failed ($language): $(tail -3 "$work/tesseract.log")"
  # Each page's words, a line of the text read for each line of words.
  awk -F'\t' -v dir="$work/read/$language" -v list="$work/list-$language" '
    function flush() { if (page) { printf "%s", text > out; close(out) } }
    $1 == 1 { flush(); page = $2; getline crop < list; sub(/.*\//, "", crop); sub(/\.ppm$/, ".txt", crop)
              out = dir "/" crop; text = ""; line = "" }
    $1 == 5 && page { key = $3 " " $4 " " $5; text = text (key == line ? " " : (text == "" ? "" : "\n")) $12; line = key }
    END { flush() }' "$work/table-$language"
done

# One row a caption: frame, picture, the scripts of its lines, a 1 or 0
# for each line read, the caption, and what was read.
results=$work/results
: >"$results"
for ((c = 0; c < total; c++)); do
  frame=$((c * every + 1)) picture=${sources[c / captions]}
  IFS=$'\t' read -r -a fields <<<"${entries[c % count]}"
  IFS=, read -r -a line_languages <<<"${fields[0]}"
  scripts=${fields[1]} caption_lines=("${fields[@]:2}")
  shown=$(printf '%s / ' "${caption_lines[@]}")
  shown=${shown% / }
  flags="" read_as=""
  if [[ ! -f $work/crops/$frame.ppm ]]; then
    flags=$(printf '0%.0s' "${caption_lines[@]}") read_as="(no caption drawn)"
  else
    declare -A read_in=()
    for i in "${!caption_lines[@]}"; do
      language=${lang:-${line_languages[i]}} text=$work/read/$language/$frame.txt
      [[ -f $text ]] || : >"$text"
      IFS=$'\t' read -r held as < <("$probe" match "$text" "${caption_lines[i]}" || true)
      flags+=$held
      [[ -n ${read_in[$language]+set} ]] || read_in[$language]=$as
    done
    for language in "${!read_in[@]}"; do
      read_as+="${read_as:+ | }${read_in[$language]}"
      ((${#read_in[@]} == 1)) || read_as+=" ($language)"
    done
    unset read_in
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$frame" "$picture" "$scripts" "$flags" "$shown" "$read_as" >>"$results"
done
if [[ -n $keep ]]; then
  mkdir -p "$keep"
  cp -r "$work/crops" "$work/read" "$results" "$work/boxes" "$keep/"
fi

read_all=$(awk -F'\t' '$4 !~ /0/ { n++ } END { print n + 0 }' "$results")
if ((verbose)); then
  awk -F'\t' '{ printf "frame %s, %s: %s \"%s\", read \"%s\"\n", $1, $2, ($4 ~ /0/ ? "NOT READ" : "read"), $5, $6 }' \
    "$results"
fi
if ((require_all)); then
  if ((read_all < total)); then
    echo "FAIL: $label: $read_all of $total captions read"
    awk -F'\t' '$4 ~ /0/ { printf "  frame %s: \"%s\" read as \"%s\"\n", $1, $5, $6 }' "$results"
    exit 1
  fi
  echo "$label: $read_all of $total captions read"
  exit 0
fi

spacing="a caption on every frame"
((every == 1)) || spacing="a caption every $every frames"
echo "Captions read back through $front_name, $format $size, $spacing${properties[*]:+, ${properties[*]}}"
not_drawn=$(grep -c $'\t(no caption drawn)$' "$results" || true)
((not_drawn == 0)) || echo "$not_drawn captions were not drawn: the plug-in changed no pixel of their frames"
awk -F'\t' -v total="$total" -v read_all="$read_all" '
  function share(a, b) { return sprintf("%4d of %-4d %3d %%", a, b, b ? 100 * a / b + 0.5 : 0) }
  # Keys in the order they first come.
  function note(list, key) { if (!((list, key) in known)) { known[list, key] = 1; keys[list, ++size[list]] = key } }
  { note("picture", $2); all[$2]++; if ($4 !~ /0/) ok[$2]++
    n = split($3, scripts, ","); set = ""
    for (i = 1; i <= n; i++) {
      note("script", scripts[i]); lines[scripts[i]]++; if (substr($4, i, 1) == "1") lines_ok[scripts[i]]++
      if (index("+" set "+", "+" scripts[i] "+") == 0) set = set (set == "" ? "" : "+") scripts[i]
    }
    note("set", set); by_set[set]++; if ($4 !~ /0/) by_set_ok[set]++ }
  END {
    printf "%-36s %s\n", "picture", "captions read"
    for (i = 1; i <= size["picture"]; i++) { p = keys["picture", i]; printf "%-36s %s\n", p, share(ok[p] + 0, all[p]) }
    printf "%-36s %s\n", "all", share(read_all, total)
    printf "%-36s %s\n", "caption lines, by script", "read"
    for (i = 1; i <= size["script"]; i++) { s = keys["script", i]; printf "%-36s %s\n", s, share(lines_ok[s] + 0, lines[s]) }
    printf "%-36s %s\n", "captions, by their scripts", "read"
    for (i = 1; i <= size["set"]; i++) { s = keys["set", i]; printf "%-36s %s\n", s, share(by_set_ok[s] + 0, by_set[s]) }
  }' "$results"
