#!/usr/bin/env bash
# The program photographed on the display it runs on: once it has opened a
# playlist and slid its player out, the editor's area shows the window drawn
# with its list (many colours, mostly the list's white), not a blank screen.
# Usage: screenshot_test.sh BUILD_DIR   (ctest runs it with DISPLAY set)
set -euo pipefail
build=$1 work="$1/e2e-screenshot"
rm -rf "$work" && mkdir -p "$work/start"
[ -s "$build/fixtures/track1.mp3" ] && [ -n "${DISPLAY:-}" ] || { echo "screenshot: no fixtures or no DISPLAY"; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
drive() { WINE_RUN_TIMEOUT=60 "$build/wine-run" "$build/qdrive.exe" "$@" >>"$work/qdrive.log" 2>&1; }
for i in 1 2 3 4 5; do printf '%s\r\n' "$(winpath "$build/fixtures/track$i.mp3")"; done >"$work/start/shot.m3u"
pid=""
trap '[ -z "$pid" ] || WINE_RUN_TIMEOUT=30 "$build/wine-run" taskkill /F /PID "$pid" >>"$work/qdrive.log" 2>&1 || true' EXIT
drive launch "$(winpath "$build/quillon.exe")" "$(winpath "$work/start")" "$(winpath "$work/pid.txt")"
pid=$(tr -d '\r\n' <"$work/pid.txt")
drive place "$pid" 220 90 # clear of Wine's tray window at the top left
drive open "$pid" "$(winpath "$work/start/shot.m3u")"
drive show-player "$pid"
area=460x230+240+100 colours=0
for _ in $(seq 1 50); do # until the area is drawn
  import -window root "$work/shot.png"
  colours=$(identify -format '%k' "$work/shot.png[$area]")
  [ "$colours" -gt 4 ] && break
  sleep 0.2
done
mean=$(identify -format '%[fx:int(mean*100)]' "$work/shot.png[$area]")
[ "$colours" -gt 4 ] && [ "$mean" -ge 60 ] || { echo "screenshot: the editor's area is blank or dark ($colours colours, mean $mean%)"; exit 1; }
drive close "$pid" && pid="" || { echo "screenshot: the program did not exit with 0"; exit 1; }
echo "screenshot: $work/shot.png, $colours colours in the editor's area (mean $mean%)"
