#!/usr/bin/env bash
# Gives the tests a real printer: a CUPS queue "PDFLetter-<n>" of its own per build folder (Letter paper from
# the generic PostScript driver, printing into PDF files through cups-pdf),
# made the default of the test run (PRINTER) so that the Print dialog offers it first.
# Usage: scripts/cups-setup.sh BUILD_DIR
# Prints the folder the PDF files land in (and nothing else on stdout).
# Idempotent. A cupsd it starts is remembered in BUILD_DIR/cups/ so that
# scripts/cups-stop.sh stops that one and no other.
set -euo pipefail

[ $# -eq 1 ] && [ -n "$1" ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
mkdir -p "$1"
build=$(cd "$1" && pwd)
state="$build/cups"
out="$build/pdf"
# One queue per build folder, each with its own cups-pdf settings file
# (a "cups-pdf:/NAME" queue reads /etc/cups/cups-pdf-NAME.conf), so that
# builds printing at the same time never take each other's PDF files.
queue=PDFLetter-$(printf '%s' "$build" | cksum | cut -d' ' -f1)
conf=/etc/cups/cups-pdf-$queue.conf

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

for tool in /usr/sbin/cupsd lpstat lpadmin /usr/lib/cups/backend/cups-pdf; do
  if ! command -v "$tool" >/dev/null 2>&1 && ! $sudo test -x "$tool"; then
    echo "cups-setup: $tool is missing (scripts/deps.sh test installs it)" >&2
    exit 1
  fi
done

scheduler_running() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }

mkdir -p "$state" "$out"

if ! scheduler_running; then
  # Foreground mode under setsid: the pid we get is cupsd's own, and the
  # daemon keeps none of our output streams (callers read ours with $(...)).
  $sudo mkdir -p /run/cups
  setsid $sudo /usr/sbin/cupsd -f </dev/null >"$state/cupsd.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    scheduler_running && break
    sleep 0.1
  done
  if ! scheduler_running; then
    echo "cups-setup: cupsd did not come up; see $state/cupsd.log" >&2
    exit 1
  fi
  # Through sudo the daemon is a child of the pid we got.
  if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != cupsd ]; then
    pid=$(pgrep -x -P "$pid" cupsd | head -n1 || true)
  fi
  echo "$pid" >"$state/cupsd.pid"
fi

# cups-pdf writes every user's jobs (root's and anonymous ones included) into
# our folder; job ids in the names keep repeated titles apart.
tmp=$(mktemp)
grep -Ev '^[[:space:]]*(Out|AnonDirName|Label)[[:space:]]' /etc/cups/cups-pdf.conf >"$tmp" 2>/dev/null || true
{
  echo
  echo "# Written by Quillon's scripts/cups-setup.sh for $build"
  echo "Out $out"
  echo "AnonDirName $out"
  echo "Label 1"
} >>"$tmp"
if ! $sudo cmp -s "$tmp" "$conf"; then
  $sudo cp "$tmp" "$conf"
  $sudo chmod 644 "$conf"
fi
rm -f "$tmp"
echo "$queue" >"$state/queue"

# lpadmin on an existing queue just sets the same values again.
$sudo lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -m drv:///sample.drv/generic.ppd -o PageSize=Letter \
  >"$state/lpadmin.log" 2>&1 || { cat "$state/lpadmin.log" >&2; exit 1; }
$sudo cupsenable "$queue" >>"$state/lpadmin.log" 2>&1 || true
$sudo cupsaccept "$queue" >>"$state/lpadmin.log" 2>&1 || true

for _ in $(seq 1 50); do
  lpstat -p "$queue" 2>/dev/null | grep -q enabled && break
  sleep 0.1
done
lpstat -p "$queue" 2>/dev/null | grep -q enabled || { echo "cups-setup: queue $queue is not enabled" >&2; exit 1; }

echo "$out"
