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
# and Uniscribe draws a script that the font lacks in that script's own font
# (Mangal, Leelawadee UI, ...); Wine reads the same keys. Noto stands in for
# Windows' script fonts (Wine's own Tahoma stays) and is linked to Arial as
# Windows links its own. Wine, lacking Arial, makes it of the fonts linked
# to it, the first that has the character set asked for: DejaVu Sans, which
# also has Georgian, Armenian and more, comes first so that Arial stays
# DejaVu Sans. Wine finds these fonts where fontconfig does. The stamp says
# which setup a prefix has.
font_setup=2
if [[ $(cat "$prefix/.font-links" 2>/dev/null) != "$font_setup" ]]; then
  (
    flock 9
    if [[ $(cat "$prefix/.font-links" 2>/dev/null) != "$font_setup" ]]; then
      set_value() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
      replace=(Mangal 'Noto Sans Devanagari' 'Nirmala UI' 'Noto Sans Devanagari' 'Leelawadee UI' 'Noto Sans Thai'
        Leelawadee 'Noto Sans Thai' 'Traditional Arabic' 'Noto Sans Arabic' David 'Noto Sans Hebrew')
      links='DejaVuSans.ttf,DejaVu Sans\0NotoSansArabic-Regular.ttf,Noto Sans Arabic'
      links+='\0NotoSansHebrew-Regular.ttf,Noto Sans Hebrew\0NotoSansDevanagari-Regular.ttf,Noto Sans Devanagari'
      links+='\0NotoSansThai-Regular.ttf,Noto Sans Thai'
      ok=1
      set_value 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' Arial REG_MULTI_SZ \
        "$links" || ok=0
      for ((i = 0; i < ${#replace[@]}; i += 2)); do
        set_value 'HKCU\Software\Wine\Fonts\Replacements' "${replace[i]}" REG_SZ "${replace[i + 1]}" || ok=0
      done
      ((ok)) && echo "$font_setup" >"$prefix/.font-links"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
