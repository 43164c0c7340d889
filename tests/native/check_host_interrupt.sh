#!/usr/bin/env bash
# An interrupted host ends the plug-in in order: it finishes the frame in
# hand, stops the stream and calls Exit (so the settings file keeps the
# walk's position), prints its summary and then ends as the signal asks,
# even while it waits on an input that stays open: natively it dies of the
# signal, so that a loop around it stops; under Wine the console's Ctrl-C
# exits with status 130. A shell's $? is 130 either way: the end is read
# as the host's parent sees it.
# Usage: check_host_interrupt.sh SIGNAL:END[,...] HOST PLUGIN [RUNNER...]
# END is "killed" (by that signal) or an exit status; RUNNER, such as the
# Wine wrapper and its prefix, goes before the host.
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

# Runs the host and writes its pid to pid, then how it ended to end.
parent='
import os, signal, subprocess, sys
child = subprocess.Popen(sys.argv[1:])
with open("pid.new", "w") as f: f.write(str(child.pid))
os.rename("pid.new", "pid")
code = child.wait()
with open("end", "w") as f: f.write(f"killed by {signal.Signals(-code).name}" if code < 0 else f"exit status {code}")
'
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
  rm -f "$dir/in" "$dir/out" "$dir/pid" "$dir/end"
  mkfifo "$dir/in"
  (cd "$dir" && exec python3 -c "$parent" "${runner[@]}" "./$(basename "$host")" --plugin "$(basename "$plugin")" \
    --size 320x240 --output out <in 2>log) &
  job=$!
  exec 3>"$dir/in"
  for _ in $(seq 100); do [[ -s $dir/pid ]] && break; sleep 0.1; done
  pid=$(cat "$dir/pid")
  head -c $((frame * 30)) /dev/zero >&3
  for _ in $(seq 300); do
    [[ $(stat -c %s "$dir/out" 2>/dev/null || echo 0) -ge $((frame * 30)) ]] && break
    sleep 0.1
  done
  [[ $(stat -c %s "$dir/out") -eq $((frame * 30)) ]] || fail "$signal: frames not through: $(cat "$dir/log")"

  kill -"$signal" "$pid"
  wait "$job" || fail "$signal: the host's parent failed"
  exec 3>&-
  log=$(tr -d '\r' <"$dir/log")
  end=$(cat "$dir/end")
  if [[ $expected == killed ]]; then expected="killed by SIG$signal"; else expected="exit status $expected"; fi
  [[ $end == "$expected" ]] || fail "$signal: $end, not $expected: $log"
  grep -q '^tpp-host: 30 frames in .*the plug-in changed 3,' <<<"$log" || fail "$signal: no summary: $log"
  grep -q "^tpp-host: interrupted by" <<<"$log" || fail "$signal: no word of the interrupt: $log"
  grep -qx 'CurIntEntry=3' <(tr -d '\r' <"$ini") || fail "$signal: settings not saved at Exit: $(cat "$ini")"
  [[ $(wc -l <"$ini") -eq 32 ]] || fail "$signal: settings file of $(wc -l <"$ini") lines"
  echo "$signal: $end, summary printed, settings saved"
done
