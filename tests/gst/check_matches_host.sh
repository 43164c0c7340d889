#!/usr/bin/env bash
# The element gives the bytes that the Linux plug-in gives through the
# native host on the same frames: YUY2 as it is, BGR top-down against the
# host's RGB24 bottom-up (flipped on the way in and out). The element starts
# fresh and writes its look into its settings file at stop; from that file
# (its walk put back to the start, so that random places and entries agree)
# the element draws again what it drew, and the host draws the same.
set -euo pipefail
host=$1 plugin=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp "$host" "$dir/tpp-host"
cp "$plugin" "$dir/TPP_25Frame.so"
frames=40 size=352x288
source="videotestsrc num-buffers=$frames pattern=smpte"

for format in YUY2 BGR; do
  rm -rf "$dir/Plugins" "$dir/element.ini"
  caps="video/x-raw,format=$format,width=${size%x*},height=${size#*x},framerate=25/1"
  flip="" host_format=yuy2
  [[ $format == YUY2 ]] || { flip="! videoflip video-direction=vert"; host_format=rgb24; }
  gst-launch-1.0 -q $source ! "$caps" $flip ! filesink location="$dir/in" || fail "$format: no input"
  gst-launch-1.0 -q $source ! "$caps" ! tpp25frame mode=flash progress-db=none settings-file="$dir/element.ini" $flip \
    ! filesink location="$dir/fresh" || fail "$format: element"
  grep -q $'^OutlineWidth=2\r$' "$dir/element.ini" && grep -q $'^KeepProportions=1\r$' "$dir/element.ini" ||
    fail "$format: the element's look is not in its file: $(cat "$dir/element.ini")"
  sed -i 's/^CurIntEntry=.*\r$/CurIntEntry=0\r/' "$dir/element.ini"
  mkdir -p "$dir/Plugins"
  cp "$dir/element.ini" "$dir/Plugins/TPP_25Frame.ini"
  "$dir/tpp-host" --plugin "$dir/TPP_25Frame.so" --size $size --format $host_format \
    --input "$dir/in" --output "$dir/host" --changed-frames "$dir/changed" 2>/dev/null || fail "$format: host"
  gst-launch-1.0 -q $source ! "$caps" ! tpp25frame mode=flash progress-db=none settings-file="$dir/element.ini" $flip \
    ! filesink location="$dir/element" || fail "$format: element"
  [[ $(tr '\n' ' ' <"$dir/changed") == "1 13 25 37 " ]] || fail "$format: host changed $(tr '\n' ' ' <"$dir/changed")"
  cmp -s "$dir/fresh" "$dir/element" || fail "$format: the element's look did not last to its next run"
  cmp -s "$dir/host" "$dir/element" || fail "$format: the element's frames differ from the host's"
done
echo "element keeps its look and matches the plug-in in the host, YUY2 and BGR"
