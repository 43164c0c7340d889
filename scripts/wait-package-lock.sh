#!/usr/bin/env bash
# Waits until no other process holds the package manager's locks (another
# apt-get or dpkg, an unattended upgrade), saying who holds them; after
# TIMEOUT seconds it gives up with a clear error.
# Usage: scripts/wait-package-lock.sh TIMEOUT [LOCK_FILE...]
# Without lock files: the locks of dpkg and apt. Exit 0 once they are free,
# 1 when they are still held after TIMEOUT seconds.
set -euo pipefail
timeout=$1
shift
locks=("$@")
((${#locks[@]})) || locks=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
  /var/cache/apt/archives/lock)

# "process PID (command)" of a process that holds one of the locks, or
# nothing.
# /proc/locks names each lock's file as major:minor:inode and its holder.
holder() {
  local lock id pid
  for lock in "${locks[@]}"; do
    [[ -e $lock ]] || continue
    id=$(stat -L -c '%Hd %Ld %i' "$lock" | { read -r major minor inode; printf '%02x:%02x:%s' "$major" "$minor" "$inode"; })
    # Lines with "->" are processes waiting for a lock, not holding it.
    pid=$(awk -v id="$id" '$2 != "->" { for (i = 1; i < NF; i++) if ($(i + 1) == id) { print $i; exit } }' /proc/locks)
    if [[ -n $pid ]]; then
      echo "process $pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo "not visible from here"))"
      return
    fi
  done
}

start=$SECONDS
told=""
while who=$(holder) && [[ -n $who ]]; do
  if ((SECONDS - start >= timeout)); then
    echo "the package lock is still held by $who after $timeout s: let it finish (or end it), then run this again" >&2
    exit 1
  fi
  if [[ $who != "$told" ]]; then
    echo "waiting for the package lock, held by $who (up to $timeout s)..." >&2
    told=$who
  fi
  sleep 2
done
