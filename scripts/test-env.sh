# Sourced by ./test, scripts/ctest.sh and scripts/demo.sh: everything a run of
# the Windows programs under Wine needs, and the check that Wine can play MP3.
# Expects BUILD_DIR to be set and the build to hold mci_check.exe.
# Absolute, so that the functions still find their scripts after a cd.
QUILLON_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$QUILLON_SCRIPTS/wine-env.sh"

# Stops at once, with one message naming the cause, when Wine's MCI cannot
# play a generated MP3: otherwise every test that plays a track would fail
# on its own, and the demo would "play" in silence.
mci_preflight() {
  local tone="$BUILD_DIR/fixtures/tone1s.mp3"
  [ -s "$tone" ] || "$QUILLON_SCRIPTS/make-fixtures.sh" "$BUILD_DIR/fixtures" >/dev/null
  local out="$BUILD_DIR/mci-preflight.log" code=0
  local winpath
  winpath="Z:$(printf '%s' "$tone" | tr / '\\')"
  # Wine names a missing decoder only on its diagnostics channel.
  WINEDEBUG=err+winediag timeout 60 wine "$BUILD_DIR/mci_check.exe" "$winpath" >"$out" 2>&1 || code=$?
  [ "$code" -eq 0 ] && return 0
  echo >&2
  echo "Wine cannot play MP3 files on this machine: $(grep -m1 -E '^(open|opened|usage)' "$out" || echo "mci_check exited with $code")" >&2
  if grep -qi gstreamer "$out" || [ "$code" -eq 2 ]; then
    echo "Wine decodes MP3 through the 32-bit GStreamer plugins. Install them with" >&2
    echo "  sudo apt-get install gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386" >&2
    echo "(scripts/deps.sh does this), and check that GST_PLUGIN_SYSTEM_PATH_1_0 and" >&2
    echo "GST_PLUGIN_PATH_1_0, if set, still include /usr/lib/i386-linux-gnu/gstreamer-1.0." >&2
  else
    echo "The file opened but no sound came out: check the sound device (ALSA) that Wine uses;" >&2
    echo "on a machine without a sound card, an ~/.asoundrc with 'pcm.!default { type null }' will do." >&2
  fi
  echo "Details: $out" >&2
  return 1
}

# The whole environment of a test run: null audio, fixtures, a CUPS printer
# into PDF files, Xvfb, the prefix, and the MP3 check. test_env_down undoes
# what this started.
test_env_up() {
  use_null_audio
  "$QUILLON_SCRIPTS/make-fixtures.sh" "$BUILD_DIR/fixtures"
  QUILLON_PDF_DIR=$("$QUILLON_SCRIPTS/cups-setup.sh" "$BUILD_DIR")
  export QUILLON_PDF_DIR
  PRINTER=$(cat "$BUILD_DIR/cups/queue")
  export PRINTER
  start_xvfb
  wine_prefix_init
  # The build's own queue is the default printer of the programs this run
  # starts (CUPS reads PRINTER; Wine keeps its own default in the prefix).
  timeout 60 wine reg add 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device /t REG_SZ \
    /d "$PRINTER,winspool,CUPS:$PRINTER" /f >>"$BUILD_DIR/wineboot.log" 2>&1
  mci_preflight
}

test_env_down() {
  stop_wine_and_xvfb
  "$QUILLON_SCRIPTS/cups-stop.sh" "$BUILD_DIR" >/dev/null 2>&1 || true
}
