#!/usr/bin/env bash
# The progress store against another program's write lock, in real live
# pipelines (25 frames a second, a caption every fifth frame), the lock
# held by the sqlite3 shell in a BEGIN IMMEDIATE:
#   stop    held through a 4 s run and its stop: how long the stop took
#           (the run's wall time less what gst-launch counts as its
#           execution), the warning, and what the store holds once the lock
#           is let go and the store opened again
#   start   held for the first 8 s of a 20 s run: the share of the run's
#           showings that the store holds at the end
# Usage: bench/store_lock.sh [GST_PLUGIN_DIR]  (default: build/vlc's, a tree
# without sanitizers; the native tree's needs libasan preloaded)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
plugins=${1:-$root/build/vlc/gstreamer-1.0}
[[ -f $plugins/libgsttpp25frame.so ]] || { echo "no element in $plugins (cmake --preset vlc -B build/vlc)" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "needs the sqlite3 shell (scripts/install-deps.sh)" >&2; exit 1; }
dir=$(mktemp -d)
holder=
trap '[[ -n $holder ]] && kill $holder 2>/dev/null; wait; rm -rf "$dir"' EXIT
export GST_PLUGIN_PATH=$plugins GST_REGISTRY_1_0=$dir/registry

# Runs FRAMES live frames through the element into the store; the bus
# messages in LOG.
run() {
  local frames=$1 log=$2
  GST_DEBUG=tpp25frame:2 GST_DEBUG_NO_COLOR=1 gst-launch-1.0 -m videotestsrc is-live=true num-buffers="$frames" \
    ! video/x-raw,format=I420,width=320,height=240,framerate=25/1 \
    ! tpp25frame settings-file=none progress-db="$db" show-freq-from=5 show-freq-to=5 show-time-from=1 \
    show-time-to=1 ! fakesink >"$log" 2>&1
}
shown() { grep -c 'tpp25frame-caption' "$1" || true; }
recorded() { sqlite3 "$db" 'SELECT count(*) FROM events WHERE kind = 0'; }
# Holds the lock, through a pipe the shell reads; let go after SECONDS
# when given, else by release.
hold() {
  rm -f "$dir/sql"
  mkfifo "$dir/sql"
  sqlite3 "$db" <"$dir/sql" &
  holder=$!
  exec 4>"$dir/sql"
  echo 'BEGIN IMMEDIATE;' >&4
  if [[ $# -gt 0 ]]; then
    { sleep "$1"; echo 'COMMIT;' >&4; } &
    exec 4>&-
  fi
}
release() {
  exec 4>&-
  wait $holder 2>/dev/null || true
  holder=
}
seconds() { date +%s.%N; }

db=$dir/stop.sqlite
run 5 "$dir/first.log"
before=$(recorded)
hold
sleep 0.3
start=$(seconds)
run 100 "$dir/stop.log"
wall=$(echo "$(seconds) - $start" | bc)
executed=$(sed -nE 's/^Execution ended after ([0-9]+):([0-9]+):([0-9.]+)$/\1*3600+\2*60+\3/p' "$dir/stop.log" | bc)
release
echo "stop: run of 4 s with the lock held: $(shown "$dir/stop.log") showings; the stop took" \
  "$(printf '%.2f' "$(echo "$wall - $executed" | bc)") s beyond the run's execution (wall $(printf '%.2f' "$wall") s)"
echo "stop: warning (the element's debug log: gst-launch shows no bus message of the stop): $(grep -o 'Progress store.*next open\.' "$dir/stop.log" | head -n 1)"
run 1 "$dir/after.log"
echo "stop: after the lock went and the store was opened again: $(($(recorded) - before - $(shown "$dir/after.log")))" \
  "of $(shown "$dir/stop.log") showings of the run recorded; side file left: $([[ -e $db-queued ]] && echo yes || echo no)"

db=$dir/start.sqlite
run 5 "$dir/first.log"
before=$(recorded)
hold 8
run 500 "$dir/start.log"
release
got=$(($(recorded) - before))
all=$(shown "$dir/start.log")
echo "start: lock held for the first 8 s of a 20 s run: $got of $all showings recorded" \
  "($(echo "scale=1; 100 * $got / $all" | bc) %)"
