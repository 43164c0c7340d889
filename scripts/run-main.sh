#!/usr/bin/env bash
# The main job: builds the plug-in and runs it inside the reference host
# under Wine, on frames the host makes itself.
# Usage: scripts/run-main.sh [--frames N] [--size WxH] [--format yuy2|rgb24]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win32" -j"$(nproc)" --target TPP_25Frame tpp-host >/dev/null

"$root/scripts/wine-run.sh" "$build/win32/wineprefix" "$build/win32/bin/tpp-host.exe" \
  --plugin "$build/win32/bin/TPP_25Frame.dll" "$@" | tr -d '\r'
