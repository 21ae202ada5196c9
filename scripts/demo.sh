#!/usr/bin/env bash
# The headless demo of ./run: the real program on a virtual display, driven
# from a second process. Usage: scripts/demo.sh START_DIR   (BUILD_DIR set)
set -euo pipefail
start_dir=$1
mkdir -p "$start_dir"
. "$(dirname "$0")/test-env.sh"
use_null_audio
start_xvfb
trap stop_wine_and_xvfb EXIT
wine_prefix_init
mci_preflight

music="$start_dir/music"
"$(dirname "$0")/make-fixtures.sh" "$music" >/dev/null
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
playlist="$start_dir/demo.m3u"
: > "$playlist"
for i in 1 2 3 4 5; do printf '%s\r\n' "$(winpath "$music/track$i.mp3")" >> "$playlist"; done

drive() { timeout 60 wine "$BUILD_DIR/qdrive.exe" "$@" >>"$BUILD_DIR/demo.log" 2>&1; }
pidfile="$start_dir/quillon.pid.txt"
echo "Starting Quillon on a virtual display ($DISPLAY) in $start_dir"
drive launch "$(winpath "$BUILD_DIR/quillon.exe")" "$(winpath "$start_dir")" "$(winpath "$pidfile")"
pid=$(tr -d '\r\n' < "$pidfile")
drive place "$pid" 220 90
drive open "$pid" "$(winpath "$playlist")"
drive show-player "$pid"
drive play "$pid" 1
sleep 2 # let the position bar and the title move before the picture
shot="$start_dir/screenshot.png"
import -window root -display "$DISPLAY" -crop 560x470+200+70 +repage "$shot"
# The list toggle hides the editor and shows the player's own close and
# to-tray buttons; a second click brings the editor back.
drive click-player "$pid" 1034
sleep 1
shot2="$start_dir/screenshot-list-hidden.png"
import -window root -display "$DISPLAY" -crop 560x470+200+70 +repage "$shot2"
drive click-player "$pid" 1034
sleep 1
code=0
drive close "$pid" || code=$?
echo "Quillon exited with code $code."
echo "Screenshot of both windows: $shot"
echo "With the list hidden:       $shot2"
