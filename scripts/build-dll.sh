#!/usr/bin/env bash
# Builds the plug-in for Windows as it ships: TPP_25Frame.dll, optimised and
# without debug sections, in build/win32-release/bin/ (TPP_BUILD_DIR moves
# build/). Installs mingw-w64 and CMake when they are missing.
# Usage: scripts/build-dll.sh [--with-host]
#   --with-host  also tpp-host.exe, the reference host, beside the DLL
# Prints the path of each file it built, one a line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${TPP_BUILD_DIR:-$root/build}/win32-release

targets=(TPP_25Frame)
case ${1:-} in
  "") ;;
  --with-host) targets+=(tpp-host) ;;
  *) sed -n '5,6s/^# //p' "$0" >&2; exit 2 ;;
esac

bash "$root/scripts/install-deps.sh" --mingw || { echo "build-dll: installing mingw-w64 failed" >&2; exit 1; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake -S "$root" --preset win32-release -B "$tree" &&
       cmake --build "$tree" -j"$(nproc)" --target "${targets[@]}"; } >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "build-dll: building ${targets[*]} failed (the end of the build's output is above)" >&2
  exit 1
fi
echo "$tree/bin/TPP_25Frame.dll"
[[ ${#targets[@]} -eq 1 ]] || echo "$tree/bin/tpp-host.exe"
