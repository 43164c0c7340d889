#!/usr/bin/env bash
# The built-in dictionary packed by dicpack beside gzip -9 and xz -9 of the
# same bytes. Usage: compare_sizes.sh PAIRS PACKED
set -euo pipefail
pairs=$1
packed=$2
printf '%-10s %8s\n' raw "$(stat -c %s "$pairs")" dicpack "$(stat -c %s "$packed")" \
  "gzip -9" "$(gzip -9 -c "$pairs" | wc -c)" "xz -9" "$(xz -9 -c "$pairs" | wc -c)"
