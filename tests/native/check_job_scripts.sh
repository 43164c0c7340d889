#!/usr/bin/env bash
# The scripts around the build: each task installs only its own packages,
# a package lock held by another process is waited for and then named in a
# clear error, and the main job explains itself.
set -euo pipefail
scripts=$1
dir=$(mktemp -d)
holder=""
trap '[[ -z $holder ]] || kill -- -"$holder" 2>/dev/null || true; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
packages() { bash "$scripts/install-deps.sh" "$@" --list | tr '\n' ' '; }

native=$(packages --native --video)
[[ $native == *" libfreetype-dev "* && $native == *" ffmpeg "* ]] || fail "--native --video: $native"
[[ $native != *wine* && $native != *mingw* && $native != *gtest* ]] || fail "--native brings more: $native"
windows=$(packages --mingw --wine --video)
[[ $windows == *" g++-mingw-w64-i686 "* && $windows == *" wine32:i386 "* ]] || fail "--mingw --wine: $windows"
[[ $windows != *freetype* && $windows != *gtest* && $windows != *xvfb* ]] || fail "--mingw --wine brings more: $windows"
# Both builds make the case folding table from Unicode's data.
[[ $native == *" unicode-data "* && $windows == *" unicode-data "* ]] || fail "a build group lacks unicode-data"
all=$(packages --all)
for p in $native $windows zip libgtest-dev xvfb clang libgstreamer1.0-dev gstreamer1.0-libav; do [[ " $all" == *" $p "* ]] || fail "--all lacks $p"; done
if bash "$scripts/install-deps.sh" >/dev/null 2>&1; then fail "no group given, and it ran"; fi
echo "install groups: each task its own packages"

# A lock that another process holds: waited for while it lasts, named when
# it outlasts the timeout.
lock=$dir/lock
: >"$lock"
bash "$scripts/wait-package-lock.sh" 1 "$lock" 2>"$dir/log" || fail "a free lock: $(cat "$dir/log")"
[[ ! -s $dir/log ]] || fail "a free lock is talked about: $(cat "$dir/log")"
# Each holder is a job of its own, so that it ends with its child.
set -m
flock "$lock" sleep 30 &
holder=$!
for _ in $(seq 50); do grep -q " $holder " /proc/locks && break; sleep 0.1; done
if bash "$scripts/wait-package-lock.sh" 1 "$lock" 2>"$dir/log"; then fail "a held lock was taken as free"; fi
grep -q "still held by process $holder (flock) after 1 s" "$dir/log" || fail "held lock: $(cat "$dir/log")"
kill -- -"$holder"
wait "$holder" 2>/dev/null || true
holder=""
flock "$lock" sleep 1 &
holder=$!
for _ in $(seq 50); do grep -q " $holder " /proc/locks && break; sleep 0.1; done
bash "$scripts/wait-package-lock.sh" 20 "$lock" 2>"$dir/log" || fail "a lock released in time: $(cat "$dir/log")"
grep -q "waiting for the package lock, held by process $holder (flock)" "$dir/log" || fail "no word of the wait: $(cat "$dir/log")"
echo "package lock: waited for, then named"

bash "$scripts/run-main.sh" --help >"$dir/help" || fail "run-main --help failed"
for option in --format --frames --size --out-dir --native --plugin --host "Exit status"; do
  grep -q -- "$option" "$dir/help" || fail "run-main --help says nothing of $option"
done
echo "run-main --help: every option"

# The watch command explains itself and refuses a bad command line before
# it installs or builds anything.
bash "$scripts/watch.sh" --help >"$dir/help" || fail "watch --help failed"
grep -q 'PROPERTY=VALUE' "$dir/help" || fail "watch --help: $(cat "$dir/help")"
for args in "" "$dir/no-such-film.mkv" "$dir/help not-a-setting"; do
  status=0
  # shellcheck disable=SC2086
  DISPLAY= bash "$scripts/watch.sh" $args >/dev/null 2>"$dir/log" || status=$?
  ((status == 2)) || fail "watch $args: status $status, $(cat "$dir/log")"
done
echo "watch: --help, bad command lines"
