#!/usr/bin/env bash
# The words layer on a text of captions (build/bench/bin/words_coverage):
# coverage of its 5,000 most frequent words and of the running text, the
# CPU time of loading WordNet, mueller7's index and the built-in
# dictionary, and of translating every word of 1,500 lines.
# Usage: bench/words_coverage.sh [FILE.srt|FILE.vtt|FILE.txt] [BENCH_TREE]
# With no file, WordNet's own example sentences (48,000 lines of everyday
# English from wordnet-base's data files), for want of a film's subtitles.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${2:-$root/build/bench}
program=$tree/bin/words_coverage
[[ -x $program ]] || { echo "no $program (cmake -DTPP_BENCH=ON, build words_coverage)" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
text=${1:-}
if [[ -z $text ]]; then
  text=$dir/examples.txt
  # A synset's examples follow its gloss, each in quotes after "; ".
  grep -ho '; "[^"]*"' /usr/share/wordnet/data.{adj,adv,noun,verb} | sed 's/^; "//; s/"$//' >"$text"
elif [[ $(file -b --mime-encoding "$text") == utf-16* ]]; then
  iconv -f UTF-16 -t UTF-8 "$text" >"$dir/text.srt"
  text=$dir/text.srt
fi
"$program" "$text"
