#!/usr/bin/env bash
# Real VLC, as an ordinary user (Debian's refuses root), transcodes a clip
# to raw frames through vfilter=tpp25frame of this tree: the frames that
# change follow the schedule, the options set go over the settings file and
# the file keeps its own values, and the frames are the element's, given
# the same frames and settings file.
# Usage: check_transcode.sh VLC_PLUGIN_DIR GST_PLUGIN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vlc_plugins=$1 gst_plugins=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
size=352x288 frames=50

as_user() { bash "$here/as-user.sh" "$dir" "$@"; }
# Transcodes the clip to raw CHROMA frames in OUT through the chain TRANSCODE
# adds to, with any further options of cvlc; the filter's captions come on
# the frame schedule, in the order of the settings (no progress store).
transcode() {
  local chroma=$1 out=$2 extra=$3
  shift 3
  as_user env VLC_PLUGIN_PATH="$vlc_plugins" cvlc -q --no-plugins-cache -I dummy --play-and-exit \
    --tpp25frame-mode=flash --tpp25frame-progress-db=none "$@" "$dir/clip.y4m" \
    --sout "#transcode{vcodec=$chroma$extra}:std{access=file,mux=raw,dst=$out}" vlc://quit >"$out.log" 2>&1 ||
    fail "cvlc: $(tail -5 "$out.log")"
}
# The frames of OUT that differ from those of PLAIN, from 1, in one line.
changed() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
a, b = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()
n = int(sys.argv[3])
assert len(a) == len(b) and len(a) % n == 0, (len(a), len(b), n)
print(' '.join(str(i // n + 1) for i in range(0, len(a), n) if a[i:i + n] != b[i:i + n]))
PY
}
frame_bytes() {
  case $1 in
    I420 | YV12 | NV21) echo $((352 * 288 * 3 / 2)) ;;
    UYVY) echo $((352 * 288 * 2)) ;;
    I0AL | P010) echo $((352 * 288 * 3)) ;;
    RV32 | RGBA | ARGB | BGRA) echo $((352 * 288 * 4)) ;;
  esac
}

gst-launch-1.0 -q videotestsrc num-buffers=$frames pattern=smpte \
  ! "video/x-raw,format=I420,width=${size%x*},height=${size#*x},framerate=25/1" ! y4menc \
  ! filesink location="$dir/clip.y4m" || fail "no clip"

# The options the filter offers besides the settings rows': the modes and
# the spaced order.
offered=$(as_user env VLC_PLUGIN_PATH="$vlc_plugins" cvlc --no-plugins-cache -H -p tpp25frame --advanced 2>&1) || true
for option in '--tpp25frame-mode {study,flash}' --tpp25frame-study-show --tpp25frame-study-every \
  --tpp25frame-keep-clear '3 (spaced'; do
  grep -qF -- "$option" <<<"$offered" || fail "the filter does not offer $option"
done

# The schedule with the defaults, and the options over a settings file.
transcode I420 "$dir/plain" ""
transcode I420 "$dir/defaults" ",vfilter=tpp25frame" --tpp25frame-settings-file=none
[[ $(changed "$dir/plain" "$dir/defaults" "$(frame_bytes I420)") == "1 13 25 37 49" ]] ||
  fail "defaults changed frames $(changed "$dir/plain" "$dir/defaults" "$(frame_bytes I420)")"
printf '[PluginSettings]\r\nShowFreqFrom=7\r\nShowFreqTo=7\r\n' >"$dir/own.ini"
transcode I420 "$dir/file" ",vfilter=tpp25frame" --tpp25frame-settings-file="$dir/own.ini"
[[ $(changed "$dir/plain" "$dir/file" "$(frame_bytes I420)") == "1 8 15 22 29 36 43 50" ]] ||
  fail "the settings file's period was not taken: $(changed "$dir/plain" "$dir/file" "$(frame_bytes I420)")"
transcode I420 "$dir/option" ",vfilter=tpp25frame" --tpp25frame-settings-file="$dir/own.ini" \
  --tpp25frame-show-freq-from=20 --tpp25frame-show-freq-to=20
[[ $(changed "$dir/plain" "$dir/option" "$(frame_bytes I420)") == "1 21 41" ]] ||
  fail "the command line's period was not taken: $(changed "$dir/plain" "$dir/option" "$(frame_bytes I420)")"
transcode I420 "$dir/chain" ",vfilter=tpp25frame{show-freq-from=24,show-freq-to=24,settings-file=$dir/own.ini}"
[[ $(changed "$dir/plain" "$dir/chain" "$(frame_bytes I420)") == "1 25 49" ]] ||
  fail "the filter's own options were not taken: $(changed "$dir/plain" "$dir/chain" "$(frame_bytes I420)")"
# A number outside its range reaches the filter as typed, on the command
# line and in the chain, and the filter says what it uses instead.
as_user env VLC_PLUGIN_PATH="$vlc_plugins" cvlc --verbose=1 --no-plugins-cache -I dummy --play-and-exit "$dir/clip.y4m" \
  --tpp25frame-settings-file=none --tpp25frame-show-freq-from=-5 \
  --sout "#transcode{vcodec=I420,vfilter=tpp25frame{transparency=250}}:std{access=file,mux=raw,dst=$dir/range}" \
  vlc://quit >"$dir/range.log" 2>&1 || fail "cvlc: $(tail -5 "$dir/range.log")"
grep -q 'tpp25frame-show-freq-from=-5 is outside 1..200: 1 is used' "$dir/range.log" &&
  grep -q 'tpp25frame-transparency=250 is outside 0..100: 100 is used' "$dir/range.log" ||
  fail "no warning for the numbers out of range: $(grep -i tpp25frame "$dir/range.log" | head -5)"
grep -q $'^ShowFreqFrom=7\r$' "$dir/own.ini" && grep -q $'^CurIntEntry=' "$dir/own.ini" ||
  fail "the settings file lost its values or has no walk: $(cat "$dir/own.ini")"

# The element's frames from the same frames and settings: the walk put back
# to the start, so that places and entries agree.
export GST_PLUGIN_PATH=$gst_plugins GST_REGISTRY_1_0=$dir/gst.registry
for chroma in I420 RV32 YV12 NV21 UYVY RGBA ARGB BGRA I0AL P010; do
  case $chroma in
    RV32) gst_format=BGRx ;;
    I0AL) gst_format=I420_10LE ;;
    P010) gst_format=P010_10LE ;;
    *) gst_format=$chroma ;;
  esac
  nick=${gst_format,,} nick=${nick//_/-}
  transcode $chroma "$dir/in-$chroma" ""
  sed -i 's/^CurIntEntry=.*\r$/CurIntEntry=0\r/' "$dir/own.ini"
  cp "$dir/own.ini" "$dir/element.ini"
  transcode $chroma "$dir/vlc-$chroma" ",vfilter=tpp25frame" --tpp25frame-settings-file="$dir/own.ini"
  gst-launch-1.0 -q filesrc location="$dir/in-$chroma" \
    ! rawvideoparse format="$nick" width=${size%x*} height=${size#*x} framerate=25/1 \
    ! tpp25frame mode=flash progress-db=none settings-file="$dir/element.ini" ! filesink location="$dir/element-$chroma" ||
    fail "$chroma: element"
  [[ $(changed "$dir/in-$chroma" "$dir/vlc-$chroma" "$(frame_bytes $chroma)") == "1 8 15 22 29 36 43 50" ]] ||
    fail "$chroma: VLC changed frames $(changed "$dir/in-$chroma" "$dir/vlc-$chroma" "$(frame_bytes $chroma)")"
  cmp -s "$dir/vlc-$chroma" "$dir/element-$chroma" || fail "$chroma: VLC's frames differ from the element's"
done
echo "VLC follows the schedule and its options, and draws the element's frames in every chroma it takes"
