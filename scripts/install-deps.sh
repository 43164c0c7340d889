#!/usr/bin/env bash
# Installs the Debian packages that a task needs, only those missing.
# Usage: scripts/install-deps.sh GROUP... [--list]
#   --native   the Linux plug-in and host: compilers, CMake, FreeType, fontconfig, HarfBuzz,
#              FriBiDi, pkg-config, fonts (Noto for Hebrew, Arabic, Devanagari, Thai, ...),
#              Unicode's data (the case folding table is made from it), SQLite (the
#              learner's progress store, tpp-words), libzip and zstd (tpp-words' import
#              of Anki packages), ICU and zlib (the words layer), WordNet's lists and the
#              English-Russian dictd dictionary (the words' lemmas and glosses),
#              GStreamer's core and base (a film's subtitles read ahead: subparse, ssaparse)
#   --mingw    the Windows DLL and host: compilers, CMake, mingw-w64, Unicode's data
#   --wine     running them: Wine with its 32-bit part, fonts (Noto for complex scripts)
#   --video    ffmpeg, for the main job
#   --package  zip, for scripts/package.sh
#   --gstreamer the GStreamer element: development files, gst-launch, the base, good,
#              libav and X plug-ins (decoders, windows, textoverlay), sound output
#   --vlc      the VLC filter: VLC 3's plug-in development files, cvlc with its base and
#              video output plug-ins (its tests also need --gstreamer, --video, --test)
#   --test     the tests' own: GoogleTest, Google Benchmark, clang, clang-format and libFuzzer,
#              Xvfb, unzip, a Russian locale, a font with Georgian (font fallback), Python
#              (to tell a death by signal from an exit status), dictzip (dictd test files)
#   --ocr      reading captions back: tesseract with the packs of eight languages, and
#              the photographs the read-back benchmark draws over
#   --bench    the benchmarks' own: GStreamer's GL sink (bench/gl_sink_cpu.sh), the
#              sqlite3 shell that holds a store's lock (bench/store_lock.sh), bc, a window
#              manager (bench/reaction_marks.sh)
#   --all      every group but --bench: what scripts/test.sh needs
#   --list     print the packages of the groups, one a line, and install nothing
#   --check    say what the groups lack ("nothing missing" or the list), install
#              nothing; exit status 1 when something is missing
# A package lock held by another process (an apt-get, an unattended upgrade)
# is waited for, up to TPP_PACKAGE_LOCK_TIMEOUT seconds (default 600).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
  sed -n '2,32s/^# \{0,1\}//p' "$0" >&2
  exit 2
}

build_tools=(cmake g++ make unicode-data)
declare -A group=(
  # HarfBuzz shapes and FriBiDi orders the captions that need it; Noto has
  # the scripts Liberation and DejaVu lack.
  # SQLite keeps the learner's progress (learner/, tpp-words); libzip and
  # zstd open the Anki packages tpp-words imports.
  # The words layer (words/): ICU cuts lines into words, zlib reads the
  # dictd dictionaries; WordNet's lists give English lemmas and mueller7
  # English-Russian glosses, both read where Debian installs them.
  [native]="${build_tools[*]} pkg-config libfreetype-dev libfontconfig-dev libharfbuzz-dev libfribidi-dev libsqlite3-dev libzip-dev libzstd-dev fontconfig fonts-liberation fonts-noto-core libicu-dev zlib1g-dev wordnet-base mueller7-dict libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base"
  [mingw]="${build_tools[*]} g++-mingw-w64-i686"
  # fonts-liberation gives Wine metric-compatible faces (Arial is DejaVu
  # Sans there, scripts/wine-run.sh); fonts-noto-core stands in for
  # Windows' Arabic, Hebrew, Devanagari and Thai fonts.
  [wine]="wine wine32:i386 fonts-wine fonts-liberation fonts-noto-core"
  [video]="ffmpeg"
  [package]="zip"
  # libav decodes common files; X gives ximagesink and textoverlay's fonts.
  [gstreamer]="${build_tools[*]} pkg-config libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-alsa"
  # Debian's VLC 3: the filter's headers, cvlc, raw video in and out, a window.
  [vlc]="${build_tools[*]} pkg-config libvlccore-dev vlc-bin vlc-plugin-base vlc-plugin-video-output"
  # DejaVu Sans has what Liberation Sans lacks (Georgian): the font
  # fallback tests draw from it.
  [test]="util-linux libgtest-dev libbenchmark-dev clang clang-format libclang-rt-14-dev xvfb xauth xdotool locales unzip fonts-dejavu-core python3 dictzip"
  # Photographs in packages of their own, read where they are installed
  # (tests/ocr/pictures.txt names them).
  # glimagesink: a sink that takes the captions as overlay compositions;
  # openbox: a window manager for the reaction test's window.
  [bench]="gstreamer1.0-gl sqlite3 bc openbox"
  [ocr]="tesseract-ocr tesseract-ocr-eng tesseract-ocr-deu tesseract-ocr-rus tesseract-ocr-ell tesseract-ocr-heb tesseract-ocr-ara tesseract-ocr-hin tesseract-ocr-tha lomiri-wallpapers-16.04 mate-backgrounds"
)

chosen=() list=0 check=0
(($#)) || usage
for arg; do
  case $arg in
    --all) chosen+=(native mingw wine video package gstreamer vlc test ocr) ;;
    --list) list=1 ;;
    --check) check=1 ;;
    --*) [[ -n ${group[${arg#--}]+set} ]] || { echo "install-deps: unknown group $arg" >&2; usage; }
      chosen+=("${arg#--}") ;;
    *) usage ;;
  esac
done
((${#chosen[@]})) || usage

packages=()
for g in "${chosen[@]}"; do
  read -ra words <<<"${group[$g]}"
  for p in "${words[@]}"; do
    [[ " ${packages[*]} " == *" $p "* ]] || packages+=("$p")
  done
done
if ((list)); then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need=()
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done

# The dialog's tests run Wine in a Russian locale (ANSI code page 1251).
want_russian_locale() {
  [[ " ${chosen[*]} " == *" test "* ]] && ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'
}

if ((check)); then
  missing=("${need[@]}")
  want_russian_locale && missing+=("locale ru_RU.UTF-8")
  if ((${#missing[@]} == 0)); then
    echo "install-deps: nothing missing" >&2
    exit 0
  fi
  echo "install-deps: missing ${missing[*]}" >&2
  exit 1
fi

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"

make_russian_locale() {
  want_russian_locale || return 0
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

if ((${#need[@]} == 0)); then
  make_russian_locale
  exit 0
fi

echo "install-deps: installing ${need[*]}" >&2
timeout=${TPP_PACKAGE_LOCK_TIMEOUT:-600}
# apt-get waits for the dpkg lock too, in case another process takes it
# between the check and the install.
apt_get() {
  bash "$here/wait-package-lock.sh" "$timeout" || exit 1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout="$timeout" "$@"
}
if [[ " ${need[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  bash "$here/wait-package-lock.sh" "$timeout" || exit 1
  $SUDO dpkg --add-architecture i386
fi
apt_get update -qq || { echo "install-deps: apt-get update failed" >&2; exit 1; }
apt_get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
  { echo "install-deps: installing ${need[*]} failed" >&2; exit 1; }
make_russian_locale
