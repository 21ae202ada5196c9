#!/usr/bin/env bash
# The program photographed on the display it runs on: after it starts, opens
# a playlist and slides its player out, the screen shows the editor window
# drawn with its list where it was placed, not a blank or one-coloured area.
# Usage: screenshot_test.sh BUILD_DIR   (ctest runs it with DISPLAY set)
set -euo pipefail
build=$1
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no DISPLAY"; exit 1; }
work="$build/e2e-screenshot"
rm -rf "$work"
mkdir -p "$work/start"
fixtures="$build/fixtures"
[ -s "$fixtures/track1.mp3" ] || { echo "screenshot: no fixtures in $fixtures"; exit 1; }

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
drive() { WINE_RUN_TIMEOUT=60 "$build/wine-run" "$build/qdrive.exe" "$@" >>"$work/qdrive.log" 2>&1; }
shoot() { import -window root -display "$DISPLAY" "$1"; }
# identify on a part of a picture: FILE GEOMETRY FORMAT
measure() { identify -format "$3" "$1[$2]"; }

playlist="$work/start/shot.m3u"
: >"$playlist"
for i in 1 2 3 4 5; do printf '%s\r\n' "$(winpath "$fixtures/track$i.mp3")" >>"$playlist"; done

# The editor goes to 220,90, clear of Wine's tray window at the top left;
# this part of it holds its caption, menu and list, inside the window.
area=460x230+240+100

shoot "$work/before.png"
before=$(measure "$work/before.png" "$area" '%#')

pid=""
finish() {
  if [ -n "$pid" ]; then
    # Only when the test failed half way: the program must not outlive it.
    WINE_RUN_TIMEOUT=30 "$build/wine-run" taskkill /F /PID "$pid" >>"$work/qdrive.log" 2>&1 || true
  fi
}
trap finish EXIT

drive launch "$(winpath "$build/quillon.exe")" "$(winpath "$work/start")" "$(winpath "$work/pid.txt")"
pid=$(tr -d '\r\n' <"$work/pid.txt")
drive place "$pid" 220 90
drive open "$pid" "$(winpath "$playlist")"
drive show-player "$pid"

# Bounded wait until the area has been drawn: more than four colours
# (caption, menu, list, text; the bare root is one colour, or the two of X's
# weave) and a picture that differs from the one before the start.
ok=""
for _ in $(seq 1 50); do
  shoot "$work/shot.png"
  colours=$(measure "$work/shot.png" "$area" '%k')
  after=$(measure "$work/shot.png" "$area" '%#')
  if [ "$colours" -gt 4 ] && [ "$after" != "$before" ]; then ok=1; break; fi
  sleep 0.2
done
[ -n "$ok" ] || { echo "screenshot: the editor's area stayed blank ($colours colours)"; exit 1; }

size=$(identify -format '%w %h' "$work/shot.png")
[ "$size" = "1280 1024" ] || { echo "screenshot: picture of $size"; exit 1; }
# The list box, white behind its black text, fills most of the area.
mean=$(measure "$work/shot.png" "$area" '%[fx:int(mean*100)]')
[ "$mean" -ge 60 ] || { echo "screenshot: the list area is dark (mean $mean%)"; exit 1; }
# Both windows, their icons and text: far more than a handful of colours on the whole screen.
screen_colours=$(identify -format '%k' "$work/shot.png")
[ "$screen_colours" -ge 8 ] || { echo "screenshot: only $screen_colours colours on the screen"; exit 1; }

code=0
drive close "$pid" || code=$?
pid=""
[ "$code" -eq 0 ] || { echo "screenshot: the program exited with $code"; exit 1; }
[ "$(stat -c %s "$work/start/settings.dat")" -eq 884 ] || { echo "screenshot: settings.dat is not 884 bytes"; exit 1; }
echo "screenshot: $work/shot.png, $colours colours in the list area (mean $mean%), $screen_colours on the screen"
