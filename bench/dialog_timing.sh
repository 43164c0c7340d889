#!/usr/bin/env bash
# The settings dialog of the real DLL under Wine and Xvfb over word lists of
# 5,000 and 50,000 lines (or those given): the time from ShowSettings to the
# window painted with its list filled, and from a click on Добавить,
# Изменить or Удалить to its return, each the median of a few rounds.
#
# Usage: bench/dialog_timing.sh [--build DIR] [--plugin FILE] [--repeats N] [LINES...]
# --build names the win32 tree (default build/win32); --plugin times another
# build of the DLL, an older one say.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win32 plugin="" repeats=3
usage() { sed -n '7,9s/^# //p' "$0" >&2; exit 2; }
while (($#)); do
  case $1 in
    --build) build=$2; shift 2 ;;
    --plugin) plugin=$(realpath "$2"); shift 2 ;;
    --repeats) repeats=$2; shift 2 ;;
    -*) usage ;;
    *) break ;;
  esac
done
sizes=("$@")
((${#sizes[@]})) || sizes=(5000 50000)
cmake --build "$build" -j2 --target TPP_25Frame tpp-dialog-timing >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/tpp-dialog-timing.exe" "$work/"
cp "${plugin:-$build/bin/TPP_25Frame.dll}" "$work/TPP_25Frame.dll"
run() {
  "$root/scripts/wine-run.sh" "$build/wineprefix" "$work/tpp-dialog-timing.exe" \
    "Z:${work//\//\\}\\TPP_25Frame.dll" "$@"
}
if [[ -z ${DISPLAY:-} ]]; then
  run() {
    xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/wine-run.sh" "$build/wineprefix" \
      "$work/tpp-dialog-timing.exe" "Z:${work//\//\\}\\TPP_25Frame.dll" "$@"
  }
fi
echo "settings dialog under Wine: $(wine --version 2>/dev/null), $(date -u +%F)"
for lines in "${sizes[@]}"; do
  run "$lines" "$repeats" | tr -d '\r'
done
