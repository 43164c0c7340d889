#!/usr/bin/env bash
# Batch mode of the reference host with a stand-in plug-in: frames pass
# through byte for byte, changed frames are the plug-in's alone, the
# lifecycle runs in host order, and bad input fails loudly without losing
# the frames that were complete.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 fake=$4 fake_v2=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
host() { "$wine_run" "$prefix" "$host" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

# Frame numbers (from 1) in which two equal-sized files differ.
differing_frames() {
  cmp -l "$1" "$2" | awk -v n="$3" '{ f = int(($1 - 1) / n) + 1; if (f != last) print f; last = f }' | tr '\n' ' '
}

# 66 pixels of RGB24 make rows of 198 bytes: no row padding may creep in.
for case in yuy2:64x48:2 rgb24:66x48:3; do
  IFS=: read -r format size bpp <<<"$case"
  frame=$((${size%x*} * ${size#*x} * bpp))
  head -c $((frame * 50)) /dev/urandom >"$work/in"

  host --plugin "$fake" --size "$size" --format "$format" <"$work/in" >"$work/out" 2>"$work/log" ||
    fail "$format: pass-through through pipes failed: $(cat "$work/log")"
  cmp -s "$work/in" "$work/out" || fail "$format: frames changed on their way through pipes"
  lifecycle=$(sed -n 's/^fake-plugin: //p' "$work/log" | tr -d '\r' | tr '\n' '|')
  [[ $lifecycle == "Init|StreamStart $size format $((bpp - 2))|StreamStop after 50 frames|Exit|" ]] ||
    fail "$format: lifecycle was $lifecycle"
  grep -q '50 frames in .*the plug-in changed 0, returned 0 for 0' "$work/log" || fail "$format: summary: $(cat "$work/log")"
  # The host turns the plug-in's trace on and shows its debug output.
  grep -q '^tpp-host: plug-in: fake-plugin: traced StreamStart' "$work/log" || fail "$format: no trace: $(cat "$work/log")"

  host --plugin "$fake" --size "$size" --format "$format" --input "$work/in" --output "$work/out2" 2>"$work/log" ||
    fail "$format: pass-through through files failed: $(cat "$work/log")"
  cmp -s "$work/in" "$work/out2" || fail "$format: frames changed on their way through files"

  TPP_FAKE_MARK_EVERY=12 host --plugin "$fake" --size "$size" --format "$format" --input "$work/in" \
    --output "$work/out" --changed-frames "$work/changed" 2>"$work/log" || fail "$format: marking run failed"
  [[ $(differing_frames "$work/in" "$work/out" "$frame") == "1 13 25 37 49 " ]] ||
    fail "$format: frames that differ: $(differing_frames "$work/in" "$work/out" "$frame")"
  [[ $(tr -d '\r' <"$work/changed" | tr '\n' ' ') == "1 13 25 37 49 " ]] || fail "$format: changed list $(cat "$work/changed")"
  grep -q 'the plug-in changed 5' "$work/log" || fail "$format: summary misses the changed frames"

  host --plugin "$fake" --size "$size" --format "$format" --frames 20 <"$work/in" >"$work/out" 2>/dev/null
  [[ $(stat -c %s "$work/out") -eq $((frame * 20)) ]] || fail "$format: --frames 20 wrote $(stat -c %s "$work/out") bytes"

  # A last frame cut short: the complete ones are written, the run fails.
  head -c $((frame * 10 + 7)) "$work/in" >"$work/cut"
  if host --plugin "$fake" --size "$size" --format "$format" <"$work/cut" >"$work/out" 2>"$work/log"; then
    fail "$format: a truncated last frame was accepted"
  fi
  grep -q 'ends inside frame 11 (7 of' "$work/log" || fail "$format: truncation message: $(cat "$work/log")"
  grep -q 'fake-plugin: Exit' "$work/log" || fail "$format: lifecycle not finished after the truncated input"
  cmp -s "$work/out" <(head -c $((frame * 10)) "$work/in") || fail "$format: complete frames before the cut were lost"
done

# Bad command lines and plug-ins: a message and a non-zero exit each.
expect_failure() {
  local code=$1 pattern=$2
  shift 2
  local status=0
  host "$@" </dev/null >/dev/null 2>"$work/log" || status=$?
  [[ $status -eq $code ]] || fail "exit $status, not $code, for: $*"
  grep -q -- "$pattern" "$work/log" || fail "no '$pattern' for $*: $(cat "$work/log")"
}
expect_failure 2 'unknown option: --colour' --plugin "$fake" --colour red
expect_failure 2 'YUY2 needs an even frame width' --plugin "$fake" --size 63x48 --format yuy2
expect_failure 2 'unknown pixel format' --plugin "$fake" --format nv12
expect_failure 2 'missing value after --size' --plugin "$fake" --size
expect_failure 2 'bad size' --plugin "$fake" --size 64by48
expect_failure 2 'no plug-in given' --size 64x48
expect_failure 2 'frame too large' --plugin "$fake" --size 65536x65536
expect_failure 1 'cannot load' --plugin "$work/missing.dll" --info
expect_failure 1 'interface version 2, this host needs 3' --plugin "$fake_v2" --info
expect_failure 1 'cannot open' --plugin "$fake" --input "$work/missing.raw"

# Naming the input as the output must not empty it.
head -c $((64 * 48 * 2 * 3)) /dev/urandom >"$work/in"
cp "$work/in" "$work/keep"
expect_failure 1 'is the input file' --plugin "$fake" --size 64x48 --input "$work/in" --output "$work/in"
cmp -s "$work/in" "$work/keep" || fail "the input was damaged by naming it as the output"
echo "batch mode: all cases passed"
