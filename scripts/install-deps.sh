#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when missing.
# Usage: scripts/install-deps.sh [--video]   (--video also brings ffmpeg)
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in cmake g++ make libgtest-dev libbenchmark-dev g++-mingw-w64-i686 \
         wine wine32:i386 fonts-wine xvfb xauth fonts-liberation locales clang libclang-rt-14-dev \
         libfreetype-dev libfontconfig-dev fontconfig; do
  have_pkg "$p" || need+=("$p")
done
if [[ "${1:-}" == "--video" ]]; then
  have_pkg ffmpeg || need+=(ffmpeg)
fi

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"

# The dialog's tests run Wine in a Russian locale (ANSI code page 1251).
make_russian_locale() {
  locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' || $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

if ((${#need[@]} == 0)); then
  make_russian_locale
  exit 0
fi

echo "installing: ${need[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
make_russian_locale
