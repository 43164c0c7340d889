#!/usr/bin/env bash
# Runs a command as an ordinary user with its home in DIR: Debian's VLC
# refuses root. Run as root, DIR and all in it are given to nobody
# (65534) first; run by another user, the command stays theirs.
# Usage: as-user.sh DIR COMMAND...
set -euo pipefail
dir=$1
shift
mkdir -p "$dir/home"
if [[ $(id -u) -ne 0 ]]; then
  exec env HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" "$@"
fi
chown -R 65534:65534 "$dir"
exec setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" "$@"
