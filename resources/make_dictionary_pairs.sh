#!/usr/bin/env bash
# Turns the readable word list (UTF-8, one "word - translation" a line)
# into the dictionary text: Windows-1251 strings, each ended by a NUL,
# alternately word and translation.
# Usage: make_dictionary_pairs.sh SOURCE OUTPUT
set -euo pipefail
source=$1
output=$2

if bad=$(grep -n -v -E '^[^ ].* - [^ ].*[^ ]$|^[^ ].* - [^ ]$' "$source" | head -5) && [[ -n "$bad" ]]; then
  echo "$source: lines without a 'word - translation' form:" >&2
  echo "$bad" >&2
  exit 1
fi
if grep -q $'[\t\r]' "$source"; then
  echo "$source: tabs or carriage returns are not allowed" >&2
  exit 1
fi
iconv -f UTF-8 -t CP1251 "$source" | sed 's/ - /\t/' | tr '\t\n' '\000\000' >"$output.tmp"
mv "$output.tmp" "$output"
