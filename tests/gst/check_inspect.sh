#!/usr/bin/env bash
# gst-inspect-1.0 finds the element of this tree (and so makes the tests'
# registry): its description, both pad templates with the seventeen formats, and
# the 40 properties of its own, each with a blurb and a default.
set -euo pipefail
plugin_dir=$1
fail() { echo "FAIL: $*"; exit 1; }
out=$(gst-inspect-1.0 tpp25frame) || fail "gst-inspect-1.0 does not find tpp25frame"
grep -q "Filename *$plugin_dir/libgsttpp25frame.so" <<<"$out" || fail "not this tree's element: $(grep Filename <<<"$out")"
grep -q '^  Description  *[A-Z].' <<<"$out" || fail "no description"
for pad in SINK SRC; do
  grep -A4 "$pad template" <<<"$out" |
    grep -qF 'format: { (string)YUY2, (string)BGR, (string)BGRx, (string)BGRA, (string)I420, (string)NV12, (string)RGBA, (string)RGBx, (string)ARGB, (string)xRGB, (string)ABGR, (string)xBGR, (string)UYVY, (string)NV21, (string)YV12, (string)P010_10LE, (string)I420_10LE }' ||
    fail "$pad template"
done
# Each property: "  name  : blurb", a flags line, then its type with the default.
own=$(sed -n '/^Element Properties:/,$p' <<<"$out" |
  awk '/^  [a-z-]+ +: ./ { name = $1; if (name != "name" && name != "parent" && name != "qos") n++ }
       /Default:/ && name != "" { d[name] = 1 }
       END { for (k in d) if (k != "name" && k != "parent" && k != "qos") m++; print n + 0, m + 0 }')
[[ $own == "40 40" ]] || fail "own properties with blurbs and defaults: $own (want 40 40)"
echo "gst-inspect: tpp25frame of this tree, 40 properties"
