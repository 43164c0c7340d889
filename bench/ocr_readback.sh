#!/usr/bin/env bash
# How many captions a reader can read over real pictures.
usage() {
  cat <<'EOF'
Usage: bench/ocr_readback.sh [--dll | --host] [--captions K] [--every N] [--size WxH] [--format yuy2|rgb]
                             [--words FILE | --scripts] [--verbose] [--keep DIR] [PROPERTY=VALUE ...]

Draws captions over the twelve photographs of tests/ocr/pictures.txt
through the element tpp25frame (--dll: the DLL in tpp-host.exe under Wine;
--host: the Linux plug-in in tpp-host), K captions over each (default 8),
one every N frames (default 1), frames of WxH (default 720x576), the
entries of examples/en-ru.dic (or FILE; --scripts: the word lists of the
OCR checks, two entries in each of eight scripts) from A to Z, and reads
them back with tesseract (tests/ocr/readback.sh). It prints the share of
captions read over each picture and over all, of caption lines by script,
and of captions by the scripts of their lines. Each PROPERTY=VALUE sets
one of the element's properties (for the hosts, the same setting in the
settings file), for instance

    bench/ocr_readback.sh text-color=0xFFFFFF back-color=0x000000

--verbose names each caption and what was read; --keep DIR keeps the
crops tesseract read and its text. Installs what is missing and builds
the Release trees (build/native-release; build/win32-release for --dll).
EOF
}
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}
die() { echo "ocr_readback: $*" >&2; exit 1; }

front=element words=$root/examples/en-ru.dic
passed=()
while (($#)); do
  case $1 in
    -h | --help) usage; exit 0 ;;
    --dll) front=dll ;;
    --host) front=host ;;
    --words) (($# >= 2)) || die "--words needs a file"; words=$2; shift ;;
    --scripts) words="" ;;
    --captions | --every | --size | --format | --keep)
      (($# >= 2)) || die "$1 needs a value"; passed+=("$1" "$2"); shift ;;
    --verbose) passed+=("$1") ;;
    -*) echo "ocr_readback: unknown option $1" >&2; exit 2 ;;
    *) passed+=("$1") ;;
  esac
  shift
done

groups=(--native --video --ocr)
case $front in element) groups+=(--gstreamer) ;; dll) groups+=(--mingw --wine) ;; esac
bash "$root/scripts/install-deps.sh" "${groups[@]}" || die "installing packages failed"

tree=$build/native-release
targets=(caption-probe)
case $front in element) targets+=(gsttpp25frame) ;; host) targets+=(TPP_25Frame tpp-host) ;; esac
log=$(mktemp) all_scripts=$(mktemp)
trap 'rm -f "$log" "$all_scripts"' EXIT
if [[ -z $words ]]; then
  cat "$root"/tests/ocr/scripts/*.dic >"$all_scripts"
  words=$all_scripts
fi
{ cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTPP_TESTS=OFF &&
  cmake --build "$tree" -j"$(nproc)" --target "${targets[@]}"; } >"$log" 2>&1 ||
  { tail -20 "$log" >&2; die "building ${targets[*]} failed"; }

pictures=()
while read -r path _; do
  [[ -z $path || $path == \#* ]] && continue
  [[ -f $path ]] || die "$path is missing (scripts/install-deps.sh --ocr)"
  pictures+=(--picture "$path")
done <"$root/tests/ocr/pictures.txt"

case $front in
  element)
    export GST_PLUGIN_PATH=$tree/gstreamer-1.0${GST_PLUGIN_PATH:+:$GST_PLUGIN_PATH}
    run=(--element) ;;
  host) run=(--host "$tree/bin/tpp-host" "$tree/bin/TPP_25Frame.so") ;;
  dll)
    mapfile -t built < <(TPP_BUILD_DIR=$build bash "$root/scripts/build-dll.sh" --with-host) &&
      ((${#built[@]} == 2)) || die "building the DLL and the host failed"
    # The test tree's prefix, which the read-back names before Wine makes it.
    mkdir -p "$build/win32"
    run=(--dll "$root/scripts/wine-run.sh" "$build/win32/wineprefix" "${built[1]}" "${built[0]}") ;;
esac
exec bash "$root/tests/ocr/readback.sh" "${run[@]}" --probe "$tree/bin/caption-probe" --words "$words" \
  "${pictures[@]}" "${passed[@]}"
