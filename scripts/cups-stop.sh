#!/usr/bin/env bash
# Undoes scripts/cups-setup.sh BUILD_DIR: stops the cupsd that it started
# (and no other) and puts the original cups-pdf settings back with it.
# A cupsd that was already running when the set-up ran is left alone.
# Usage: scripts/cups-stop.sh BUILD_DIR
set -uo pipefail

[ $# -eq 1 ] && [ -n "$1" ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
state="$1/cups"
pidfile="$state/cupsd.pid"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
rm -f "$pidfile"
case "$pid" in ''|*[!0-9]*) exit 0 ;; esac

# Running, and not yet a zombie waiting for its parent to reap it.
alive() {
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
  [ -n "$state" ] && [ "$state" != Z ]
}

# The pid may have been reused since: only a cupsd is ours.
if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = cupsd ]; then
  $sudo kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 1 100); do
    alive "$pid" || break
    sleep 0.1
  done
  if alive "$pid"; then $sudo kill -KILL "$pid" 2>/dev/null; fi
fi

exit 0
