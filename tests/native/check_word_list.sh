#!/usr/bin/env bash
# The built-in word list: "word - translation" lines, lower-case headwords
# sorted without duplicates, short translations, all of it Windows-1251.
set -uo pipefail
list=$1
status=0
fail() { echo "$*"; status=1; }

[[ $(wc -l <"$list") -ge 3000 ]] || fail "fewer than 3000 entries"
bad=$(grep -n -v -E '^[a-z][a-z'"'"'-]*( [a-z'"'"'-]+)* - [^ ].*$' "$list" | head -5)
[[ -z "$bad" ]] || fail "lines not of the form 'word - translation':"$'\n'"$bad"
words=$(sed 's/ - .*//' "$list")
dups=$(LC_ALL=C sort -f <<<"$words" | LC_ALL=C uniq -di | head -5)
[[ -z "$dups" ]] || fail "duplicate headwords: $dups"
LC_ALL=C sort -f -c <<<"$words" 2>/dev/null || fail "headwords are not sorted: $(LC_ALL=C sort -f -c <<<"$words" 2>&1)"
# Measured in Windows-1251, one byte a letter.
long=$(sed 's/^[^-]* - //' "$list" | iconv -f UTF-8 -t CP1251 2>/dev/null |
  awk 'NF > 3 || length($0) > 30' | iconv -f CP1251 -t UTF-8 | head -5)
[[ -z "$long" ]] || fail "translations longer than three words or a caption line: $long"
if ! iconv -f UTF-8 -t CP1251 "$list" >/dev/null 2>&1; then
  fail "not convertible to Windows-1251: $(iconv -f UTF-8 -t CP1251 "$list" 2>&1 >/dev/null)"
fi
grep -q $'[\t\r]' "$list" && fail "tabs or carriage returns"
[[ $status -eq 0 ]] && echo "$(wc -l <"$list") entries"
exit $status
