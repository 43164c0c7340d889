#!/usr/bin/env bash
# The settings dialog as a user sees it, under the test prefix's Western
# code page (1252): a screenshot read back by OCR holds its Russian
# labels; then in a prefix of its own at 150 % (144 dpi), where no label,
# button or group caption may be cut, measured in the font it is drawn with
# (dialog_look.exe), and a screenshot read back again. Needs an X display.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=private-copy.sh
source "$(dirname "$0")/private-copy.sh" look.exe "$@"
[[ -n ${DISPLAY:-} ]] || fail "no X display"

# Opens the dialog at the top left, measures it, screenshots it and reads
# it back: $1 the prefix, $2 the shot's name.
look() {
  local prefix=$1 name=$2
  rm -f "$dir/ready"
  LC_ALL=C.UTF-8 "$wine_run" "$prefix" "$dir/look.exe" --hold 8 --ready "Z:${dir//\//\\}\\ready" >"$dir/$name.txt" 2>/dev/null &
  local pid=$!
  for _ in $(seq 600); do [[ -f $dir/ready ]] && break; sleep 0.1; done
  [[ -f $dir/ready ]] || { wait "$pid" || true; fail "$name: the dialog did not come up: $(cat "$dir/$name.txt")"; }
  ffmpeg -v error -f x11grab -draw_mouse 0 -i "$DISPLAY" -frames:v 1 -y "$dir/$name.png"
  [[ -n ${TPP_KEEP_SHOTS:-} ]] && cp "$dir/$name.png" "$TPP_KEEP_SHOTS/"
  wait "$pid" || { cat "$dir/$name.txt"; fail "$name: labels are cut"; }
  tr -d '\r' <"$dir/$name.txt"
  # The window alone, twice the size: that reads best.
  local x y w h
  read -r x y w h < <(tr -d '\r' <"$dir/$name.txt" | sed -n 's/^window //p')
  ffmpeg -v error -i "$dir/$name.png" -vf "crop=$w:$h:$x:$y,scale=iw*2:ih*2" -y "$dir/$name.big.png"
  tesseract "$dir/$name.big.png" - -l rus 2>/dev/null | tr -s ' \n' ' ' >"$dir/$name.ocr"
  # 8-point letters read back imperfectly ("м" as "н"), so two thirds of
  # the words will do; bars, as the bitmap font drew them, read as none.
  local words=(Словарь Текст Положение Встроенный Альтернативный Шрифт Цвет текста фона Прозрачность
    Случайно Отсутствует Вокруг слова Весь экран Время показа течение Частота Каждый Перебор слов
    Оформление Контур Тень рамки Сохранять пропорции букв умолчанию Отмена)
  local missing=() word
  for word in "${words[@]}"; do grep -q "$word" "$dir/$name.ocr" || missing+=("$word"); done
  ((${#missing[@]} * 3 <= ${#words[@]})) ||
    fail "$name: OCR read $((${#words[@]} - ${#missing[@]})) of ${#words[@]} words: $(cat "$dir/$name.ocr")"
  echo "$name: OCR read $((${#words[@]} - ${#missing[@]})) of ${#words[@]} words (missed: ${missing[*]:-none})"
}

look "$prefix" cp1252-96dpi

# 150 %: a prefix of its own, so that the other tests keep 96 dpi.
dpi_prefix=$prefix-144dpi
"$wine_run" "$dpi_prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
"$wine_run" "$dpi_prefix" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
WINEPREFIX=$dpi_prefix wineserver -w || true
look "$dpi_prefix" cp1252-144dpi
grep -q "at 144 dpi" "$dir/cp1252-144dpi.txt" || fail "the prefix is not at 144 dpi: $(cat "$dir/cp1252-144dpi.txt")"
