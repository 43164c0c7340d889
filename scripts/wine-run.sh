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
# (Mangal, Leelawadee UI, ...) or, for Hebrew, Arabic and Thai, in
# "Microsoft Sans Serif"; Wine reads the same keys. Noto stands in for
# Windows' script fonts (Wine's own Tahoma stays) and is linked, as Windows
# links its own, to Arial, to "Microsoft Sans Serif" and to Tahoma (the
# faces that captions, Uniscribe and dialogs fall back to). No prefix has a
# "Microsoft Sans Serif" file: unlinked, Wine answers for it with whichever
# installed font it meets first that claims the script, which differs from
# machine to machine and may draw Thai as empty boxes. Wine, lacking Arial
# and "Microsoft Sans Serif", makes each of the fonts linked to it, the
# first that has the character set asked for: DejaVu Sans, which also has
# Georgian, Armenian and more, comes first so that both stay DejaVu Sans.
# Wine finds these fonts where fontconfig does. Wine writes its own links
# for Tahoma and "Microsoft Sans Serif" whenever the ANSI code page changes
# (a test in a Russian locale after one in C), so the stamp names the
# locale as well as the setup, and another locale lays the links again.
font_setup="3 ${LC_ALL:-${LC_CTYPE:-${LANG:-C}}}"
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
      for face in Arial 'Microsoft Sans Serif' Tahoma; do
        set_value 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' "$face" REG_MULTI_SZ \
          "$links" || ok=0
      done
      for ((i = 0; i < ${#replace[@]}; i += 2)); do
        set_value 'HKCU\Software\Wine\Fonts\Replacements' "${replace[i]}" REG_SZ "${replace[i + 1]}" || ok=0
      done
      ((ok)) && echo "$font_setup" >"$prefix/.font-links"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
