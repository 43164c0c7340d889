#!/usr/bin/env bash
# The reference host loads the real DLL under Wine, reads its version and
# name, and drives the whole lifecycle over raw frames.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 dll=$4
out=$("$wine_run" "$prefix" "$host" --plugin "$dll" --info | tr -d "\r")
echo "$out"
grep -qx 'version: 3' <<<"$out"
grep -qx 'name: 25-й кадр' <<<"$out"
grep -qx 'description: Изучение иностранного языка методом 25-го кадра.' <<<"$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((320 * 240 * 2 * 30)) /dev/urandom >"$work/in"
"$wine_run" "$prefix" "$host" --plugin "$dll" --size 320x240 --format yuy2 <"$work/in" >"$work/out" 2>"$work/log"
tr -d '\r' <"$work/log"
grep -q '^tpp-host: 30 frames in ' "$work/log"
[[ $(stat -c %s "$work/out") -eq $(stat -c %s "$work/in") ]]

# A DLL that is not a plug-in is refused with a message and a failure code.
if "$wine_run" "$prefix" "$host" --plugin kernel32.dll --info 2>/dev/null; then
  echo "host accepted kernel32.dll as a plug-in"; exit 1
fi

# The Windows host offers its window, and speaks of a DLL.
help=$("$wine_run" "$prefix" "$host" --help | tr -d "\r")
grep -q -- '--window' <<<"$help" && grep -q -- '--plugin PATH          the plug-in DLL' <<<"$help" ||
  { echo "--help: $help"; exit 1; }
