#!/usr/bin/env bash
# Packs the plug-in for Windows users: TPP_25Frame-VERSION-win32.zip, holding
# in a folder of the same name the DLL as it ships, readme.txt (in Russian,
# UTF-8 with a byte-order mark so that Notepad shows it on any Windows) and
# words.dic, a sample word list in Windows-1251. VERSION is the product
# version of the DLL's version block.
# Usage: scripts/package.sh [--dll FILE] [--out-dir DIR]
#   --dll FILE     pack this DLL instead of building one (scripts/build-dll.sh)
#   --out-dir DIR  where the zip goes (default build/package)
# Installs what it needs (zip; mingw-w64 to build) and prints the zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TPP_BUILD_DIR:-$root/build}

usage() {
  sed -n '7,9s/^# \{0,1\}//p' "$0" >&2
  exit 2
}
die() { echo "package: $*" >&2; exit 1; }

dll="" out_dir=$build/package
while (($#)); do
  case $1 in
    --dll) (($# >= 2)) || usage; dll=$2; shift 2 ;;
    --out-dir) (($# >= 2)) || usage; out_dir=$2; shift 2 ;;
    *) usage ;;
  esac
done

version=$(sed -n 's/.*VALUE "ProductVersion", "\([0-9.]*\).*/\1/p' "$root/resources/TPP_25Frame.rc")
[[ -n $version ]] || die "no ProductVersion in resources/TPP_25Frame.rc"
name=TPP_25Frame-$version-win32

bash "$root/scripts/install-deps.sh" --package || die "installing zip failed"
if [[ -z $dll ]]; then
  dll=$(TPP_BUILD_DIR=$build bash "$root/scripts/build-dll.sh") || die "building the DLL failed"
fi
[[ -f $dll ]] || die "no DLL at $dll"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir "$folder"
cp "$dll" "$folder/TPP_25Frame.dll"
# Notepad wants CR LF; the byte-order mark tells it the text is UTF-8.
{
  printf '\xEF\xBB\xBF'
  sed "s/@VERSION@/$version/; s/\$/\r/" "$root/packaging/readme.ru.txt"
} >"$folder/readme.txt"
iconv -f UTF-8 -t CP1251 "$root/packaging/words.txt" | sed 's/$/\r/' >"$folder/words.dic" ||
  die "packaging/words.txt does not convert to Windows-1251"
# The same sources give the same zip: every file dated by the last commit.
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$folder" "$folder"/*

mkdir -p "$out_dir"
(cd "$stage" && zip -q -X -r "$name.zip" "$name") || die "zip failed"
mv -f "$stage/$name.zip" "$out_dir/$name.zip"
echo "$out_dir/$name.zip"
