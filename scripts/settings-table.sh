#!/usr/bin/env bash
# Writes the table of every setting in docs/settings.md from the settings
# rows, or, with --check, says whether that table is what the rows say.
# Usage: scripts/settings-table.sh [--check] [--tool PATH] [FILE]
#   FILE    the page that holds the table (default docs/settings.md)
#   --tool  the built settings-table program (default: build it in build/native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=0 tool="" page="$root/docs/settings.md"
while (($#)); do
  case $1 in
    --check) check=1 ;;
    --tool) tool=$2; shift ;;
    -*) sed -n '2,6s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
    *) page=$1 ;;
  esac
  shift
done
if [[ -z $tool ]]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTPP_SANITIZE=ON >/dev/null
  cmake --build "$root/build/native" --target settings-table >/dev/null
  tool=$root/build/native/bin/settings-table
fi

begin='<!-- The table below is written by scripts/settings-table.sh from settings/settings_table.h. -->'
end='<!-- End of the settings table. -->'
grep -qxF "$begin" "$page" && grep -qxF "$end" "$page" ||
  { echo "settings-table: $page has no table markers" >&2; exit 1; }

table=$(mktemp) updated=$(mktemp)
trap 'rm -f "$table" "$updated"' EXIT
"$tool" >"$table"
awk -v begin="$begin" -v end="$end" -v table="$table" '
  $0 == begin { print; while ((getline line < table) > 0) print line; skip = 1; next }
  $0 == end { skip = 0 }
  !skip { print }' "$page" >"$updated"

if ((check)); then
  if ! diff -u "$page" "$updated"; then
    echo "settings-table: the table in $page differs from the settings rows; run scripts/settings-table.sh" >&2
    exit 1
  fi
  echo "settings-table: the table in $page is the rows'"
else
  cp "$updated" "$page"
fi
