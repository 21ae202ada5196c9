# Sourced by ./run and ./test: a private Wine prefix under the build folder,
# a home whose ALSA default is the null device (tests only), and an Xvfb display.
# Expects BUILD_DIR to be set.

export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_init() {
  if [ ! -f "$WINEPREFIX/.quillon-ready" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    timeout 180 wineboot -i >"$BUILD_DIR/wineboot.log" 2>&1 || true
    # A crash must end the run, not wait on a dialog; and with no window
    # manager each hide of a captioned window would otherwise stall.
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$BUILD_DIR/wineboot.log" 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$BUILD_DIR/wineboot.log" 2>&1
    timeout 30 wineserver -w || true
    touch "$WINEPREFIX/.quillon-ready"
  fi
}

# Tests play sound into ALSA's null device so that they run without a sound card.
use_null_audio() {
  export QUILLON_TEST_HOME="$BUILD_DIR/home"
  mkdir -p "$QUILLON_TEST_HOME"
  printf 'pcm.!default { type null }\n' > "$QUILLON_TEST_HOME/.asoundrc"
  export HOME="$QUILLON_TEST_HOME"
}

XVFB_PID=""
start_xvfb() {
  local fifo="$BUILD_DIR/xvfb.display"
  rm -f "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >"$BUILD_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fifo" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fifo")"
}

stop_wine_and_xvfb() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
