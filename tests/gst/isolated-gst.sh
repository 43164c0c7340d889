#!/usr/bin/env bash
# Runs a command with GStreamer isolated from the plug-ins installed on the
# machine: no system plug-in path; the element of this tree and links to
# every other installed plug-in; a registry of its own, scanned in the
# process itself (a forked scanner would load a sanitized element without
# its runtime); the per-user settings folder and progress store inside the
# tree.
# Usage: isolated-gst.sh PLUGIN_DIR SYSTEM_LINKS REGISTRY PRELOAD COMMAND...
# PRELOAD is a sanitizer runtime that programs built without it (gst-launch,
# gst-inspect) must load first, or "-" for none.
set -euo pipefail
plugins=$1 links=$2 registry=$3 preload=$4
shift 4
export GST_PLUGIN_SYSTEM_PATH_1_0= GST_PLUGIN_PATH=$plugins:$links GST_REGISTRY_1_0=$registry GST_REGISTRY_FORK=no
export XDG_CONFIG_HOME=$(dirname "$registry")/config XDG_DATA_HOME=$(dirname "$registry")/data
if [[ $preload != - ]]; then
  # GLib keeps what it allocates for good; the programs are not ours to check.
  export LD_PRELOAD=$preload ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
fi
exec "$@"
