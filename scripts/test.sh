#!/usr/bin/env bash
# Builds the trees of CMakePresets.json (native under sanitizers, win32 with
# mingw, tsan, fuzz, vlc) and runs every test: native ones directly, Windows ones
# under Wine and Xvfb. Installs whatever the machine is missing first.
# Usage: scripts/test.sh [--quick]
#   --quick  the native tree's tests only (build/native, AddressSanitizer and
#            UBSan), installing only the native and test groups if missing
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
jobs=$(nproc)
quick=0
case ${1:-} in
  "") ;;
  --quick) quick=1 ;;
  *) sed -n '5,7s/^# //p' "$0" >&2; exit 2 ;;
esac

step() { echo "== $*" >&2; }

# Each tree is the preset of its name, in $build/NAME. TPP_BUILD_DIR moves
# the trees: -B and --test-dir follow it, `cmake --build --preset` cannot,
# so the build preset's targets are read from the file instead.
configure() {
  local name=$1
  shift
  cmake -S "$root" --preset "$name" -B "$build/$name" "$@" >/dev/null
}
compile() {
  local targets
  targets=$(cmake -DPRESET="$1" -P "$root/scripts/preset-targets.cmake" 2>&1) || { echo "$targets" >&2; return 1; }
  # shellcheck disable=SC2086 # one target a word
  cmake --build "$build/$1" -j"$jobs" ${targets:+--target $targets}
}
run_tests() {
  local name=$1
  shift
  (cd "$root" && ctest --preset "$name" --test-dir "$build/$name" "$@")
}

if ((quick)); then
  bash "$root/scripts/install-deps.sh" --check --native --test ||
    bash "$root/scripts/install-deps.sh" --native --test || { echo "dependency install failed"; exit 1; }
else
  bash "$root/scripts/install-deps.sh" --all || { echo "dependency install failed"; exit 1; }
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Adds up the CTest summaries of the named logs: "N passed, M failed".
summary() {
  local passed=0 failed=0 name line f t
  for name; do
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/$name.log" | tail -1)
    if [[ -z "$line" ]]; then
      echo "no test summary in $name.log"
      failed=$((failed + 1))
      continue
    fi
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
  done
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

step "native build (AddressSanitizer, UBSan)"
configure native && compile native || { echo "0 passed, 1 failed: native build"; exit 1; }

if ((quick)); then
  step "native tests"
  # The OCR checks need tesseract, which the full run installs (--ocr).
  run_tests native -j"$jobs" -LE ocr 2>&1 | tee "$logs/native.log"
  summary native
  exit
fi

step "win32 build (i686 mingw-w64)"
# The native tree beside it, wherever TPP_BUILD_DIR put them.
configure win32 -DTPP_NATIVE_BIN="$build/native/bin" && compile win32 ||
  { echo "0 passed, 1 failed: win32 build"; exit 1; }

step "thread stress tests (ThreadSanitizer)"
configure tsan && compile tsan || { echo "0 passed, 1 failed: tsan build"; exit 1; }

step "VLC filter build (no sanitizers: VLC does not start under them)"
configure vlc && compile vlc || { echo "0 passed, 1 failed: vlc build"; exit 1; }

step "fuzz build (clang, libFuzzer)"
configure fuzz ${TPP_FUZZ_SECONDS:+-DTPP_FUZZ_SECONDS="$TPP_FUZZ_SECONDS"} && compile fuzz >/dev/null
fuzz_built=$?
fuzz_seconds=$(sed -n 's/^TPP_FUZZ_SECONDS:STRING=//p' "$build/fuzz/CMakeCache.txt" 2>/dev/null)

step "native tests"
run_tests native -j"$jobs" 2>&1 | tee "$logs/native.log"
run_tests tsan 2>&1 | tee "$logs/tsan.log"
run_tests vlc 2>&1 | tee "$logs/vlc.log"

step "Windows tests under Wine"
# One prefix, one Wine server and one X display for the whole run. Wine's
# desktop starts with the first program, so that one runs on the display
# too, or no test can open a window.
export WINEPREFIX=$build/win32/wineprefix WINEARCH=win32 WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  cd "$2" && ctest --preset win32 --test-dir "$3"' warm-up "$root/scripts/wine-run.sh" "$root" "$build/win32" 2>&1 |
  tee "$logs/win32.log"
wineserver -k 2>/dev/null

step "fuzzing each target for ${fuzz_seconds:-?} s"
if [[ $fuzz_built -eq 0 ]]; then
  # The full log keeps every input libFuzzer reports; shown are the run
  # counts, the outcome and, for a failure, its report.
  run_tests fuzz >"$logs/fuzz-full.log" 2>&1
  grep -E 'Test +#|number_of_executed_units|ERROR|SUMMARY|Test unit written|tests passed' "$logs/fuzz-full.log" |
    sed -E 's/^[0-9]+: //' | tee "$logs/fuzz.log"
else
  echo "fuzz build failed" | tee "$logs/fuzz.log"
fi

summary native tsan vlc win32 fuzz
