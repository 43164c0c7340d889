#!/usr/bin/env bash
# Fuzzes one libFuzzer target for a long run:
#   scripts/fuzz.sh TARGET MINUTES
# TARGET is decode, settings_file, alt_dictionary, blend or process_frame.
# Builds the fuzz tree as scripts/test.sh does when it is missing or out of
# date, keeps what the target finds in build/fuzz-corpus/TARGET for the next
# run (seeded from fuzz/corpus/TARGET), and ends with the executions per
# second and where any crashing input was written.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}

usage() {
  echo "usage: scripts/fuzz.sh TARGET MINUTES" >&2
  echo "targets: $(cd "$root/fuzz/corpus" && echo *)" >&2
  exit 2
}
[[ $# -eq 2 ]] || usage
target=${1%_fuzzer}
minutes=$2
[[ -d "$root/fuzz/corpus/$target" ]] || { echo "unknown target '$1'" >&2; usage; }
[[ $minutes =~ ^[1-9][0-9]*$ ]] || { echo "MINUTES must be a whole number above 0, not '$minutes'" >&2; usage; }
# The same input length limit as the target's CTest run.
max_len=$(sed -nE "s/^tpp_fuzzer\\($target ([0-9]+) .*/\\1/p" "$root/fuzz/CMakeLists.txt")
[[ -n $max_len ]] || { echo "no tpp_fuzzer($target ...) in fuzz/CMakeLists.txt" >&2; exit 1; }

corpus=$build/fuzz-corpus/$target
crashes=$build/fuzz-crashes/$target
logs=$build/fuzz-logs
mkdir -p "$corpus" "$crashes" "$logs"

tree=$build/fuzz
built=$logs/build.log
{
  if [[ ! -f $tree/CMakeCache.txt ]]; then
    cmake -S "$root" --preset fuzz -B "$tree" ${TPP_FUZZ_SECONDS:+-DTPP_FUZZ_SECONDS="$TPP_FUZZ_SECONDS"}
  fi && cmake --build "$tree" -j"$(nproc)" --target "${target}_fuzzer"
} >"$built" 2>&1 || { tail -n 30 "$built"; echo "building ${target}_fuzzer failed; full log $built" >&2; exit 1; }
log=$logs/$target-$(date +%Y%m%d-%H%M%S).log
before=$(find "$corpus" -type f | wc -l)
echo "fuzzing $target for $minutes min: corpus $corpus ($before inputs), full log $log"

# The first folder takes the new inputs; the seeds are only read.
ASAN_OPTIONS=allocator_may_return_null=1 "$tree/bin/${target}_fuzzer" \
  -max_total_time=$((minutes * 60)) -max_len="$max_len" -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/corpus/$target" 2>&1 |
  tee "$log" | grep --line-buffered -E '^#[0-9]+[[:space:]]+(pulse|INITED|DONE)|ERROR|SUMMARY'
status=${PIPESTATUS[0]}

execs=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
echo "$target: ${execs:-?} executions per second, ${runs:-?} runs; corpus $(find "$corpus" -type f | wc -l) inputs (was $before)"
written=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log")
if [[ -n $written ]]; then
  echo "crashing input: $written"
  echo "reproduce: $tree/bin/${target}_fuzzer $written"
elif [[ $status -ne 0 ]]; then
  echo "the fuzzer stopped with status $status; see $log"
fi
exit "$status"
