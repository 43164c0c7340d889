#!/usr/bin/env bash
# Fuzzes libFuzzer targets for long runs, never in CI:
#   scripts/fuzz.sh TARGET MINUTES
#       one target for so long, in the foreground
#   scripts/fuzz.sh --campaign [--runs N] [--jobs J] [TARGET...]
#       every fast target (or those named) for N runs each (10,000,000 by
#       default), J at a time (1), in the background; returns at once
#   scripts/fuzz.sh --summary [all]
#       the last campaign (or every one kept): each target's runs, speed,
#       coverage and findings, as far as it has come
# TARGET is decode, settings_file, alt_dictionary, blend, process_frame, or
# long_entry (process_frame's entries of millions of characters: slow, and
# in a campaign only when named). Builds the fuzz tree as scripts/test.sh
# does when it is missing or out of date, keeps what a target finds in
# build/fuzz-corpus/TARGET for the next run (seeded from fuzz/corpus/TARGET)
# and crashing inputs in build/fuzz-crashes/TARGET.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
campaigns=$build/fuzz-campaign
fast_targets="decode settings_file alt_dictionary blend process_frame"

usage() {
  echo "usage: scripts/fuzz.sh TARGET MINUTES" >&2
  echo "       scripts/fuzz.sh --campaign [--runs N] [--jobs J] [TARGET...]" >&2
  echo "       scripts/fuzz.sh --summary [all]" >&2
  echo "targets: $(cd "$root/fuzz/corpus" && echo *)" >&2
  exit 2
}

# The input length limit of the target's CTest run (or its slow target's).
max_len_of() {
  sed -nE "s/^tpp_(slow_)?fuzzer\\($1 ([0-9]+) .*/\\2/p" "$root/fuzz/CMakeLists.txt"
}

build_targets() {
  local built=$1
  shift
  mkdir -p "$(dirname "$built")"
  {
    if [[ ! -f $build/fuzz/CMakeCache.txt ]]; then
      cmake -S "$root" --preset fuzz -B "$build/fuzz" ${TPP_FUZZ_SECONDS:+-DTPP_FUZZ_SECONDS="$TPP_FUZZ_SECONDS"}
    fi && cmake --build "$build/fuzz" -j"$(nproc)" $(printf -- '--target %s_fuzzer ' "$@")
  } >"$built" 2>&1 || { tail -n 30 "$built"; echo "building failed; full log $built" >&2; exit 1; }
}

# One line a target: from libFuzzer's final statistics when it ended, its
# last status line while it runs.
summarise() {
  local dir=$1
  [[ -d $dir ]] || { echo "no campaign in $campaigns" >&2; exit 1; }
  echo "campaign $(basename "$dir"): $(cat "$dir/plan")"
  printf '%-15s %12s %8s %6s %7s %8s  %s\n' target runs exec/s cov ft corpus findings
  local log target runs speed cov ft corp found state
  for log in "$dir"/*.log; do
    [[ -e $log ]] || continue
    target=$(basename "$log" .log)
    state=$(grep -E '^#[0-9]+[[:space:]]+(pulse|INITED|NEW|REDUCE|DONE)' "$log" | tail -n 1)
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
    speed=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
    [[ -n $runs ]] || runs=$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$state")
    [[ -n $speed ]] || speed=$(sed -nE 's/.*exec\/s: ([0-9]+).*/\1/p' <<<"$state")
    cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$state")
    ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$state")
    corp=$(sed -nE 's/.* corp: ([0-9]+\/[0-9]+[a-zA-Z]*).*/\1/p' <<<"$state")
    found=$(find "$build/fuzz-crashes/$target" -type f -newer "$dir/plan" 2>/dev/null | wc -l)
    if [[ -e $dir/$target.status && $(cat "$dir/$target.status") -ne 0 && $found -eq 0 ]]; then
      # 72: libFuzzer stopped by a signal before its runs were done.
      state="stopped with status $(cat "$dir/$target.status") before its runs, none found; see $log"
    elif grep -q '^stat::number_of_executed_units' "$log"; then
      [[ $found -gt 0 ]] && state="$found found: $(find "$build/fuzz-crashes/$target" -type f -newer "$dir/plan" | head -n 3 | tr '\n' ' ')" || state="none"
    elif [[ -e $dir/$target.status ]]; then
      state="stopped with status $(cat "$dir/$target.status"), $found found; see $log"
    else
      state="running ($found found so far)"
    fi
    printf '%-15s %12s %8s %6s %7s %8s  %s\n' "$target" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$state"
  done
}

if [[ ${1:-} == --summary ]]; then
  [[ $# -eq 1 || ($# -eq 2 && $2 == all) ]] || usage
  [[ -n $(ls -d "$campaigns"/*/ 2>/dev/null) ]] || { echo "no campaign in $campaigns" >&2; exit 1; }
  for dir in $(ls -d "$campaigns"/*/ | sort | if [[ $# -eq 2 ]]; then cat; else tail -n 1; fi); do
    summarise "${dir%/}"
  done
  exit 0
fi

if [[ ${1:-} == --campaign ]]; then
  shift
  runs=10000000 jobs=1 targets=()
  while [[ $# -gt 0 ]]; do
    case $1 in
      --runs) runs=${2:-}; shift 2 ;;
      --jobs) jobs=${2:-}; shift 2 ;;
      -*) usage ;;
      *) targets+=("${1%_fuzzer}"); shift ;;
    esac
  done
  [[ $runs =~ ^[1-9][0-9]*$ && $jobs =~ ^[1-9][0-9]*$ ]] || usage
  [[ ${#targets[@]} -gt 0 ]] || read -ra targets <<<"$fast_targets"
  for target in "${targets[@]}"; do
    [[ -d "$root/fuzz/corpus/$target" && -n $(max_len_of "$target") ]] || { echo "unknown target '$target'" >&2; usage; }
  done
  dir=$campaigns/$(date +%Y%m%d-%H%M%S)
  mkdir -p "$dir"
  build_targets "$dir/build.out" "${targets[@]}"
  echo "$runs runs each of ${targets[*]}, $jobs at a time, from $(date '+%F %T')" >"$dir/plan"
  # Each target in a shell of its own, J of them at once, all detached from
  # this one; nice, since the machine is shared.
  setsid nohup bash -c '
    dir=$1 build=$2 root=$3 runs=$4 jobs=$5
    shift 5
    for entry in "$@"; do
      target=${entry%%:*} max_len=${entry#*:}
      while [[ $(jobs -rp | wc -l) -ge $jobs ]]; do wait -n; done
      (
        mkdir -p "$build/fuzz-corpus/$target" "$build/fuzz-crashes/$target"
        ASAN_OPTIONS=allocator_may_return_null=1 nice -n 10 "$build/fuzz/bin/${target}_fuzzer"           -runs="$runs" -max_len="$max_len" -rss_limit_mb=2048 -print_final_stats=1           -artifact_prefix="$build/fuzz-crashes/$target/" "$build/fuzz-corpus/$target" "$root/fuzz/corpus/$target"           >"$dir/$target.log" 2>&1
        echo $? >"$dir/$target.status"
      ) &
    done
    wait
    date "+%F %T" >"$dir/ended"
  ' campaign "$dir" "$build" "$root" "$runs" "$jobs" $(for t in "${targets[@]}"; do echo "$t:$(max_len_of "$t")"; done) \
    >/dev/null 2>&1 </dev/null &
  echo "campaign started in the background: $dir"
  echo "progress and results: scripts/fuzz.sh --summary"
  exit 0
fi

[[ $# -eq 2 ]] || usage
target=${1%_fuzzer}
minutes=$2
[[ -d "$root/fuzz/corpus/$target" ]] || { echo "unknown target '$1'" >&2; usage; }
[[ $minutes =~ ^[1-9][0-9]*$ ]] || { echo "MINUTES must be a whole number above 0, not '$minutes'" >&2; usage; }
max_len=$(max_len_of "$target")
[[ -n $max_len ]] || { echo "no tpp_fuzzer($target ...) in fuzz/CMakeLists.txt" >&2; exit 1; }

corpus=$build/fuzz-corpus/$target
crashes=$build/fuzz-crashes/$target
logs=$build/fuzz-logs
mkdir -p "$corpus" "$crashes" "$logs"

tree=$build/fuzz
build_targets "$logs/build.log" "$target"
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
