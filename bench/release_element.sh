# Sourced by the benches that time the element in gst-launch: installs what
# GStreamer needs, builds the element without sanitizers in
# build/native-release and sets plugins to its folder. Needs root and build.
bash "$root/scripts/install-deps.sh" --native --gstreamer >&2
tree=$build/native-release
{ cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTPP_TESTS=OFF >/dev/null &&
  cmake --build "$tree" -j"$(nproc)" --target gsttpp25frame >/dev/null; } ||
  { echo "$(basename "$0"): building the element failed" >&2; exit 1; }
plugins=$tree/gstreamer-1.0
