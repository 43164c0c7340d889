#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's own prefix.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The first run creates the prefix (under a lock, so parallel tests wait).
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No network here: never offer to download the .NET or HTML engines.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [[ ! -f "$prefix/system.reg" ]]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [[ ! -f "$prefix/system.reg" ]]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$prefix.lock"
fi

# This Wine does not search its own font folder; the prefix gets Marlett and
# the bitmap "MS Sans Serif" that the settings dialog draws with.
fonts=$prefix/drive_c/windows/Fonts
if [[ -d /usr/share/wine/fonts && -d $fonts && ! -e $fonts/marlett.ttf ]]; then
  (
    flock 9
    cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  ) 9>"$prefix.lock"
fi
# Windows draws a character that a font lacks from the fonts linked to it,
# and Wine reads the same links. Arial (Liberation Sans here) lacks
# Georgian, Armenian and more, which DejaVu Sans has.
dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [[ -f $dejavu && ! -e $prefix/.font-links ]]; then
  (
    flock 9
    if [[ ! -e $prefix/.font-links ]]; then
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Arial /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1 && touch "$prefix/.font-links"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
