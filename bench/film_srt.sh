#!/usr/bin/env bash
# Writes a two-hour film's .srt to OUT: 1,500 lines of 4 to 10 words, one
# every 4.8 s for 3 s, taken in order from English texts installed with
# Debian (its licence texts), over again as often as needed.
# Usage: bench/film_srt.sh OUT [LINES]
set -euo pipefail
out=$1 lines=${2:-1500}
cat /usr/share/common-licenses/{GPL-3,GFDL-1.3,Apache-2.0,Artistic,LGPL-3} | tr -s ' \t\n' '   ' |
  awk -v lines="$lines" '
    function stamp(ms) { return sprintf("%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000) }
    { for (i = 1; i <= NF; ++i) words[n++] = $i }
    END {
      w = 0
      for (line = 0; line < lines; ++line) {
        count = 4 + line % 7; text = ""
        for (k = 0; k < count; ++k) { text = text (k ? " " : "") words[w % n]; ++w }
        start = 2000 + line * 4800
        printf "%d\n%s --> %s\n%s\n\n", line + 1, stamp(start), stamp(start + 3000), text
      }
    }' > "$out"
