#!/usr/bin/env bash
# The reference host loads the DLL under Wine, reads its version and name,
# and drives the whole lifecycle.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 dll=$4
out=$("$wine_run" "$prefix" "$host" --plugin "$dll" --frames 30 --size 320x240 --format yuy2 | tr -d "\r")
echo "$out"
grep -qx 'version: 3' <<<"$out"
grep -qx 'name: 25-ый кадр' <<<"$out"
grep -qx 'description: Изучение иностранного языка методом 25-ого кадра.' <<<"$out"
grep -q '^ProcessFrame: 30 frames' <<<"$out"
grep -qx 'Exit: done' <<<"$out"

# A DLL that is not a plug-in is refused with a message and a failure code.
if "$wine_run" "$prefix" "$host" --plugin kernel32.dll 2>/dev/null; then
  echo "host accepted kernel32.dll as a plug-in"; exit 1
fi
