#!/usr/bin/env bash
# Builds both trees (native under sanitizers, win32 with mingw) and runs
# every test: native ones directly, Windows ones under Wine and Xvfb.
# Installs whatever the machine is missing first.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
jobs=$(nproc)

bash "$root/scripts/install-deps.sh" --all || { echo "dependency install failed"; exit 1; }

step() { echo "== $*" >&2; }

step "native build (AddressSanitizer, UBSan)"
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTPP_SANITIZE=ON >/dev/null &&
  cmake --build "$build/native" -j"$jobs" || { echo "0 passed, 1 failed: native build"; exit 1; }

step "win32 build (i686 mingw-w64)"
cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTPP_NATIVE_BIN="$build/native/bin" >/dev/null &&
  cmake --build "$build/win32" -j"$jobs" || { echo "0 passed, 1 failed: win32 build"; exit 1; }

step "thread stress tests (ThreadSanitizer)"
cmake -S "$root" -B "$build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTPP_TSAN=ON >/dev/null &&
  cmake --build "$build/tsan" -j"$jobs" --target dictionary_stress_test overlay_stress_test instances_test ||
  { echo "0 passed, 1 failed: tsan build"; exit 1; }

step "fuzz build (clang, libFuzzer)"
CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTPP_SANITIZE=ON -DTPP_FUZZ=ON -DTPP_FUZZ_SECONDS="${TPP_FUZZ_SECONDS:-55}" >/dev/null &&
  cmake --build "$build/fuzz" -j"$jobs" --target decode_fuzzer settings_file_fuzzer alt_dictionary_fuzzer \
    blend_fuzzer process_frame_fuzzer >/dev/null
fuzz_built=$?

logs=$(mktemp -d)
step "native tests"
ctest --test-dir "$build/native" -j"$jobs" --output-on-failure 2>&1 | tee "$logs/native.log"
ctest --test-dir "$build/tsan" --output-on-failure 2>&1 | tee "$logs/tsan.log"

step "Windows tests under Wine"
# One prefix, one Wine server and one X display for the whole run. Wine's
# desktop starts with the first program, so that one runs on the display
# too, or no test can open a window.
export WINEPREFIX=$build/win32/wineprefix WINEARCH=win32 WINEDEBUG=-all
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  ctest --test-dir "$2" --output-on-failure' warm-up "$root/scripts/wine-run.sh" "$build/win32" 2>&1 |
  tee "$logs/win32.log"
wineserver -k 2>/dev/null

step "fuzzing each target for ${TPP_FUZZ_SECONDS:-55} s"
if [[ $fuzz_built -eq 0 ]]; then
  # The full log keeps every input libFuzzer reports; shown are the run
  # counts, the outcome and, for a failure, its report.
  ctest --test-dir "$build/fuzz" -R '_fuzzer$' -V >"$logs/fuzz-full.log" 2>&1
  grep -E 'Test +#|number_of_executed_units|ERROR|SUMMARY|Test unit written|tests passed' "$logs/fuzz-full.log" |
    sed -E 's/^[0-9]+: //' | tee "$logs/fuzz.log"
else
  echo "fuzz build failed" | tee "$logs/fuzz.log"
fi

passed=0 failed=0
for log in "$logs"/native.log "$logs"/tsan.log "$logs"/win32.log "$logs"/fuzz.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ -z "$line" ]]; then
    echo "no test summary in $(basename "$log")"
    failed=$((failed + 1))
    continue
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f))
  failed=$((failed + f))
done
rm -rf "$logs"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
