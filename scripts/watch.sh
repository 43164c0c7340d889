#!/usr/bin/env bash
# Plays a video with its sound, and the captions, in a window.
usage() {
  cat <<'EOF'
Usage: scripts/watch.sh VIDEO|URI [--subtitles FILE] [PROPERTY=VALUE ...]

Plays VIDEO (any file that GStreamer decodes) or URI (file://, http://,
rtsp://, dvb://, ...) with sound and captions in a window: playbin with the
element tpp25frame as its video filter. Each PROPERTY=VALUE sets a property
of the element for this run, over the settings file, for example

    scripts/watch.sh film.mkv rules-type=a-z show-time-from=3 show-time-to=3

`gst-inspect-1.0 tpp25frame` (with GST_PLUGIN_PATH=build/native-release/gstreamer-1.0)
lists the properties. The settings file is $XDG_CONFIG_HOME/Telvoria/Plugins/TPP_25Frame.ini
(~/.config/... when XDG_CONFIG_HOME is unset); the walk through the
dictionary is saved there when the window closes or on Ctrl-C;
settings-file=none plays without one, and the element says when it
creates a settings file. Captions start from the element's own look,
white letters outlined on a dark box, for every setting the file does
not name (the first run writes them in).

The film's own words are taught before they are spoken, from its
subtitles: --subtitles FILE, else the file of the film's name beside it
(.srt, .ass, .ssa, .vtt), else the film's first text track;
subtitles=none plays without.

Keys, in the window or on the terminal: space pauses and goes on, Left
and Right seek 10 s back and on, f is full screen, q (or Escape) quits;
the element's own keys mark the caption on screen or just gone: k known
(it never comes again), a again, n the next caption now, r the last one
again for longer, c captions off and on, ? a line of help (keys=...
remaps them). The terminal shows one line with the time and the current
word; at the end, the session's captions shown, marked known and marked
again.

Installs what is missing (through scripts/install-deps.sh) and builds the
element in build/native-release (TPP_BUILD_DIR moves build/) when needed.
A property that the element does not have, or a value it does not take,
is named before anything plays, with the nearest property names, an
enum's values or a number's range. Needs a display. Exit status: 0 after
the end of the video, q, a closed window or Ctrl-C, 2 for a bad command line
or property, 1 when something fails.
EOF
}
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
die() { echo "watch: $*" >&2; exit 1; }
bad_usage() { echo "watch: $*" >&2; echo "Try scripts/watch.sh --help" >&2; exit 2; }

[[ $# -ge 1 ]] || bad_usage "no video given"
case $1 in -h | --help) usage; exit 0 ;; esac
input=$1
shift
properties=()
while (($#)); do
  if [[ $1 == --subtitles ]]; then
    [[ $# -ge 2 && -f $2 ]] || bad_usage "--subtitles needs a file"
    properties+=(--subtitles "$(realpath "$2")")
    shift 2
    continue
  fi
  [[ $1 =~ ^[a-z][a-z_-]*=.*$ ]] || bad_usage "not a property=value: $1"
  properties+=("$1")
  shift
done

if [[ $input =~ ^[a-z][a-z0-9+.-]*:// ]]; then
  uri=$input
else
  [[ -f $input ]] || bad_usage "no such file: $input"
  path=$(realpath "$input")
  uri=file://
  # Every byte outside the unreserved set is percent-encoded.
  LC_ALL=C
  for ((i = 0; i < ${#path}; i++)); do
    c=${path:i:1}
    case $c in [A-Za-z0-9/._~-]) uri+=$c ;; *) printf -v hex '%%%02X' "'$c"; uri+=$hex ;; esac
  done
fi
[[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]] || die "no display (DISPLAY is not set)"

bash "$root/scripts/install-deps.sh" --native --gstreamer || die "installing packages failed"
tree=$build/native-release
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The first build is a minute of silence otherwise.
first=0
[[ -f $tree/gstreamer-1.0/libgsttpp25frame.so ]] || { first=1; echo "watch: building the element in $tree (once, about a minute)..." >&2; }
{ cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTPP_TESTS=OFF &&
  cmake --build "$tree" -j"$(nproc)" --target gsttpp25frame tpp-watch; } >"$log" 2>&1 ||
  { tail -20 "$log" >&2; die "building the element failed"; }
[[ -f $tree/gstreamer-1.0/libgsttpp25frame.so ]] ||
  { tail -20 "$log" >&2; die "the element was not built (are GStreamer's development files installed?)"; }
((first == 0)) || echo "watch: built" >&2
rm -f "$log"
trap - EXIT

export GST_PLUGIN_PATH=$tree/gstreamer-1.0${GST_PLUGIN_PATH:+:$GST_PLUGIN_PATH}
# The player checks the properties first: one it refuses is named, with the
# nearest names or the values it takes, and the status is 2.
exec "$tree/bin/tpp-watch" "$uri" ${properties[@]+"${properties[@]}"}
