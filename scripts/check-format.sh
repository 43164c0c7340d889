#!/usr/bin/env bash
# Checks the C++ sources against .clang-format with clang-format 14.
# Usage: scripts/check-format.sh [--fix] [FILE...]
#   Lists the files that do not conform, one a line; exit status 1 if any.
#   --fix   formats them in place instead (and lists them).
#   FILE    only these; without, every *.cpp and *.h of the checkout that git
#           does not ignore (so no build tree).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 2

fix=0
files=()
for arg; do
  case $arg in
    --fix) fix=1 ;;
    -*) sed -n '3,7s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
    *) files+=("$arg") ;;
  esac
done

# Other versions break lines differently: the style is 14's.
format=${CLANG_FORMAT:-clang-format-14}
command -v "$format" >/dev/null || format=clang-format
version=$("$format" --version 2>/dev/null | sed -nE 's/.*version ([0-9]+)\..*/\1/p')
if [[ $version != 14 ]]; then
  echo "check-format: needs clang-format 14 (scripts/install-deps.sh --test), found ${version:-none}" >&2
  exit 2
fi

if ((${#files[@]} == 0)); then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
fi
((${#files[@]})) || exit 0

# One run over all of them; each place that would change is a warning that
# starts with its file's name.
report=$("$format" --style=file --dry-run "${files[@]}" 2>&1) || { echo "$report" >&2; exit 2; }
mapfile -t bad < <(sed -nE 's/^(.*):[0-9]+:[0-9]+: warning: .*/\1/p' <<<"$report" | sort -u)
((${#bad[@]})) || exit 0
printf '%s\n' "${bad[@]}"
if ((fix)); then
  "$format" --style=file -i "${bad[@]}"
  exit 0
fi
exit 1
