#!/usr/bin/env bash
# The DLL exports exactly the two host entry points and imports from
# Windows system libraries only (its C and C++ runtime are linked in;
# Uniscribe, usp10, lays out complex scripts).
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[ \t]*\[/ {print $NF; next} on {on=0}' <<<"$dump" | sort | tr '\n' ' ')
if [[ "$exports" != "Telvoria_Plugin_PR Telvoria_Plugin_Version " ]]; then
  echo "unexpected exports: $exports"; exit 1
fi

allowed=" kernel32.dll user32.dll gdi32.dll usp10.dll comctl32.dll comdlg32.dll advapi32.dll shell32.dll msvcrt.dll "
status=0
while read -r name; do
  lower=${name,,}
  if [[ "$allowed" != *" $lower "* ]]; then echo "imports from non-system DLL: $name"; status=1; fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")
[[ $(i686-w64-mingw32-objdump -f "$dll") == *'file format pei-i386'* ]] || { echo "not a 32-bit PE"; status=1; }
echo "exports: $exports"
awk '/DLL Name:/ {print "imports:", $3}' <<<"$dump"
exit $status
