#!/usr/bin/env bash
# Ctrl-C (SIGINT under Wine) closes the host's window as its close box
# would: the plug-in is stopped and ended, so it saves its settings, and
# the host exits with status 130. Needs a display (Xvfb in the test run).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=private-copy.sh
source "$(dirname "$0")/private-copy.sh" host.exe "$@"
set -m  # a job of its own, with SIGINT not ignored

head -c $((320 * 240 * 2 * 10)) /dev/zero >"$dir/in"
(cd "$dir" && exec "$wine_run" "$prefix" host.exe --plugin TPP_25Frame.dll --size 320x240 --window --input in \
  2>log) &
pid=$!
# Ten frames at 25 a second; the window then holds the last one.
for _ in $(seq 100); do grep -q 'tpp-host: 25' "$dir/log" 2>/dev/null && break; sleep 0.1; done
sleep 1
kill -INT "$pid"
status=0
wait "$pid" || status=$?
log=$(tr -d '\r' <"$dir/log")
((status == 130)) || fail "exit status $status: $log"
grep -q '^tpp-host: interrupted by Ctrl-C' <<<"$log" || fail "no word of the interrupt: $log"
[[ $(wc -l <"$dir/Plugins/TPP_25Frame.ini") -eq 32 ]] || fail "settings not saved: $log"
echo "window closed by Ctrl-C, settings saved"
