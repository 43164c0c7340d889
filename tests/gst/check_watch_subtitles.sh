#!/usr/bin/env bash
# The player finds a film's subtitles as players do: --subtitles FILE over
# the .srt of the film's name beside it, that over the film's first text
# track, and subtitles=none takes none. Each run plays a few seconds under
# Xvfb, long enough for "lighthouse" at the longest lead; the source it
# says it took the words from and the line the store keeps as that word's
# context (the .srt beside names the keeper otherwise) tell what was read.
# Usage: check_watch_subtitles.sh TPP_WATCH FILMS_FOLDER
set -euo pipefail
[[ -n ${TPP_WATCH_XVFB:-} ]] || exec env TPP_WATCH_XVFB=1 xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
watch=$1 films=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export ASAN_OPTIONS=detect_leaks=0

mkdir "$dir/beside" "$dir/alone"
cp "$films/harbour-srt.mkv" "$dir/beside/"
cp "$films/harbour-srt.mkv" "$dir/alone/"
sed 's/lighthouse keeper/lighthouse warden/' "$films/harbour.srt" >"$dir/beside/harbour-srt.srt"

# play NAME FOLDER [ARGUMENT...]: a run of the film in FOLDER, q on standard
# input once its window shows; NAME.log and NAME.sqlite are what it left.
play() {
  local name=$1 folder=$2
  shift 2
  mkfifo "$dir/$name.keys"
  exec 3<>"$dir/$name.keys"
  timeout 60 "$watch" "file://$folder/harbour-srt.mkv" "$@" mode=study lead=10 settings-file=none \
    progress-db="$dir/$name.sqlite" <&3 >"$dir/$name.log" 2>&1 &
  local player=$!
  timeout 30 xdotool search --sync --onlyvisible --name TPP_25Frame >/dev/null || true
  sleep 3
  printf q >&3
  wait $player || fail "$name: status $?, $(tail -5 "$dir/$name.log")"
  exec 3>&-
}
# The source NAME said it took the words from, and the contexts its store kept.
said() { sed -n 's/^watch: the film.s words from //p' "$dir/$1.log"; }
contexts() {
  [[ -e $dir/$1.sqlite ]] || return 0
  python3 -c 'import sqlite3, sys; print("|".join(sorted({c for c, in sqlite3.connect(sys.argv[1]).execute(
    "SELECT context FROM entries WHERE context != '\'\''")})))' "$dir/$1.sqlite"
}

play beside "$dir/beside"
play track "$dir/alone"
play option "$dir/beside" --subtitles "$films/harbour.srt"
play none "$dir/beside" subtitles=none
for run in "beside|$dir/beside/harbour-srt.srt|*warden*" "track|$dir/alone/harbour-srt.mkv|*keeper*" \
  "option|$films/harbour.srt|*keeper*" "none||"; do
  IFS='|' read -r name source context <<<"$run"
  [[ $(said "$name") == "$source" ]] || fail "$name: words from '$(said "$name")', not '$source'"
  # shellcheck disable=SC2053 # context is a pattern
  [[ $(contexts "$name") == $context ]] || fail "$name: contexts '$(contexts "$name")', not $context"
done
echo "the player took the words from --subtitles, the .srt beside, the film's track, and none when told"
