#!/usr/bin/env bash
# dicpack as a user runs it: round trips, streams of another encoder with
# and without their trailing zero bytes, and a clear message with a
# non-zero exit for bad arguments, missing files and corrupt input.
set -uo pipefail
dicpack=$1
sample=$2
reference=$3  # NAME.bin and NAME.short.bin decode to NAME.out
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0

expect_fail() {  # expect_fail WORDS-IN-MESSAGE ARGS...
  local words=$1
  shift
  if "$dicpack" "$@" >"$dir/out" 2>"$dir/err"; then
    echo "dicpack $* succeeded"; status=1
  elif ! grep -qi -- "$words" "$dir/err"; then
    echo "dicpack $*: message lacks '$words': $(cat "$dir/err")"; status=1
  fi
}

"$dicpack" encode "$sample" "$dir/packed" && "$dicpack" decode "$dir/packed" "$dir/unpacked" &&
  cmp -s "$sample" "$dir/unpacked" || { echo "round trip of $sample failed"; status=1; }
: >"$dir/empty"
"$dicpack" encode "$dir/empty" "$dir/empty.packed" && [[ $(stat -c %s "$dir/empty.packed") -eq 6 ]] ||
  { echo "empty input does not pack to 6 bytes"; status=1; }

for out in "$reference"/*.out; do
  for stored in "${out%.out}.bin" "${out%.out}.short.bin"; do
    "$dicpack" decode "$stored" "$dir/ref" && cmp -s "$out" "$dir/ref" ||
      { echo "decode of $(basename "$stored") differs from $(basename "$out")"; status=1; }
  done
done

expect_fail usage
expect_fail "unknown command" pack "$sample" "$dir/x"
expect_fail "cannot read" encode "$dir/missing" "$dir/x"
expect_fail "cannot write" encode "$sample" "$dir/no/such/dir/x"
head -c 2 "$dir/packed" >"$dir/short"
expect_fail "size header" decode "$dir/short" "$dir/x"
head -c 100 "$dir/packed" >"$dir/truncated"
expect_fail "truncated" decode "$dir/truncated" "$dir/x"
{ printf '\x10\x00\x00\x00'; head -c 16 /dev/zero; } >"$dir/badmatch"
expect_fail "corrupt" decode "$dir/badmatch" "$dir/x"
exit $status
