#!/usr/bin/env bash
# A host whose path is longer than the 260 characters that Windows hands the
# plug-in: the settings go to the folder that the first 259 characters name
# in full, never into the current directory. The plug-in lies beside the
# host and is loaded by its bare name, so its own path is just as long.
set -euo pipefail
wine_run=$1 prefix=$2 host=$3 dll=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
windows() { local p="Z:$1"; echo "${p//\//\\}"; }  # Wine sees the Linux root as Z:

# Ancestors of about 200 characters, then the host's own folder, which the
# 260-character buffer cuts short.
folder=$dir/tree
while (($(windows "$folder" | wc -c) < 200)); do folder+=/level; done
host_folder=$folder/$(printf 'the-host-folder-%.0s' {1..6})
mkdir -p "$host_folder" "$dir/cwd"
cp "$host" "$host_folder/host.exe"
cp "$dll" "$host_folder/TPP_25Frame.dll"
exe=$(windows "$host_folder/host.exe")
((${#exe} > 260)) || fail "the host path is only ${#exe} characters"

cut=${exe:0:259}
cut_folder=${cut%\\*}
expected=$folder/Plugins/TPP_25Frame.ini
[[ $(windows "$folder") == "$cut_folder" ]] || fail "the cut names $cut_folder, not the ancestors"

(cd "$dir/cwd" && "$wine_run" "$prefix" "$host_folder/host.exe" --plugin TPP_25Frame.dll --size 32x16 --frames 0 \
  </dev/zero >/dev/null 2>"$dir/log") || fail "host: $(cat "$dir/log")"
[[ ! -e $dir/cwd/Plugins ]] || fail "settings written into the current directory: $(ls -R "$dir/cwd")"
[[ -f $expected ]] || fail "no settings file at $expected; found: $(cd "$dir" && find . -name '*.ini')"
[[ $(wc -l <"$expected") -eq 32 ]] || fail "settings file of $(wc -l <"$expected") lines"
echo "host path of ${#exe} characters: settings in $cut_folder\\Plugins"
