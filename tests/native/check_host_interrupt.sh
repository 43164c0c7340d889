#!/usr/bin/env bash
# An interrupted host ends the plug-in in order: it finishes the frame in
# hand, stops the stream and calls Exit (so the settings file keeps the
# walk's position), prints its summary and exits with the status that the
# signal asks for, even while it waits on an input that stays open.
# Usage: check_host_interrupt.sh SIGNAL:STATUS[,...] HOST PLUGIN [RUNNER...]
# (RUNNER, such as the Wine wrapper and its prefix, goes before the host.)
set -euo pipefail
signals=$1 host=$2 plugin=$3
shift 3
runner=("$@")
dir=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Job control: a background job keeps the signals that a shell without it
# would have it ignore.
set -m

# A private copy: the plug-in keeps its settings beside the host.
cp "$host" "$dir/$(basename "$host")"
cp "$plugin" "$dir/$(basename "$plugin")"
ini=$dir/Plugins/TPP_25Frame.ini
frame=$((320 * 240 * 2))

IFS=, read -ra cases <<<"$signals"
for case in "${cases[@]}"; do
  signal=${case%:*} expected=${case#*:}
  mkdir -p "$dir/Plugins"
  # "A - Z" from the start: 30 frames show entries 1, 2 and 3.
  printf '[PluginSettings]\r\nRulesType=0\r\nCurIntEntry=0\r\n' >"$ini"
  rm -f "$dir/in" "$dir/out"
  mkfifo "$dir/in"
  (cd "$dir" && exec "${runner[@]}" "./$(basename "$host")" --plugin "$(basename "$plugin")" --size 320x240 \
    --output out <in 2>log) &
  pid=$!
  exec 3>"$dir/in"
  head -c $((frame * 30)) /dev/zero >&3
  for _ in $(seq 300); do
    [[ $(stat -c %s "$dir/out" 2>/dev/null || echo 0) -ge $((frame * 30)) ]] && break
    sleep 0.1
  done
  [[ $(stat -c %s "$dir/out") -eq $((frame * 30)) ]] || fail "$signal: frames not through: $(cat "$dir/log")"

  kill -"$signal" "$pid"
  status=0
  wait "$pid" || status=$?
  exec 3>&-
  log=$(tr -d '\r' <"$dir/log")
  ((status == expected)) || fail "$signal: exit status $status, not $expected: $log"
  grep -q '^tpp-host: 30 frames in .*the plug-in changed 3,' <<<"$log" || fail "$signal: no summary: $log"
  grep -q "^tpp-host: interrupted by" <<<"$log" || fail "$signal: no word of the interrupt: $log"
  grep -qx 'CurIntEntry=3' <(tr -d '\r' <"$ini") || fail "$signal: settings not saved at Exit: $(cat "$ini")"
  [[ $(wc -l <"$ini") -eq 32 ]] || fail "$signal: settings file of $(wc -l <"$ini") lines"
  echo "$signal: exit status $status, summary printed, settings saved"
done
