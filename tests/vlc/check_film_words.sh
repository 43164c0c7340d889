#!/usr/bin/env bash
# A film's words in real VLC: a fixture film transcoded through the filter
# with --tpp25frame-subtitles and a store in which one of the film's words
# is known. The store then keeps "lighthouse" with its line as context,
# and the known word was never shown.
# Usage: check_film_words.sh VLC_PLUGIN_DIR TPP_WORDS FILMS_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vlc_plugins=$1 words=$2 films=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
known=keeper

cp "$films/silent.mkv" "$films/harbour.srt" "$dir/"
printf '%s - смотритель\n' "$known" >"$dir/known.txt"
"$words" --db "$dir/store.sqlite" known "$dir/known.txt" "$known" >/dev/null || fail "tpp-words known"
bash "$here/as-user.sh" "$dir" env VLC_PLUGIN_PATH="$vlc_plugins" cvlc --no-plugins-cache -I dummy --play-and-exit \
  --tpp25frame-settings-file=none --tpp25frame-progress-db="$dir/store.sqlite" \
  --tpp25frame-subtitles="$dir/harbour.srt" --tpp25frame-lead=6 --tpp25frame-study-every=5 "$dir/silent.mkv" \
  --sout "#transcode{vcodec=I420,vfilter=tpp25frame}:std{access=file,mux=raw,dst=/dev/null}" vlc://quit \
  >"$dir/log" 2>&1 || fail "cvlc: $(tail -5 "$dir/log")"

# Each word shown with the line it came for: lighthouse among them, the
# line one of the .srt's, the known word nowhere.
python3 - "$dir/store.sqlite" "$dir/harbour.srt" "$known" <<'PY' || fail "store: $(grep -i tpp25frame "$dir/log" | tail -5)"
import re, sqlite3, sys
store, srt, known = sys.argv[1:]
blocks = open(srt, encoding='utf-8').read().strip().split('\n\n')
lines = {' '.join(re.sub(r'<[^>]*>|\{[^}]*\}', '', b).split('\n')[2:]) for b in blocks}
shown = sqlite3.connect(store).execute("SELECT word, context FROM entries WHERE context != ''").fetchall()
print('shown:', ', '.join(w for w, _ in shown))
assert shown and all(' '.join(c.split()) in lines for _, c in shown), shown
assert any(w == 'lighthouse' and 'lighthouse' in c for w, c in shown), shown
assert known not in (w for w, _ in shown), known
PY
echo "VLC taught the film's words before their lines, not the known one"
