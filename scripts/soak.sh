#!/usr/bin/env bash
# The long soak run: bench/soak.cpp with many track
# changes, under Wine on a virtual display with the null audio device. Prints
# the figures: steps, track changes, time, GDI and USER objects and memory.
# Usage: scripts/soak.sh [CHANGES]     (default 5000; BUILD_DIR defaults to ./build)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
changes=${1:-5000}
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
export BUILD_DIR

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    >"$BUILD_DIR.configure.log" 2>&1 || { cat "$BUILD_DIR.configure.log"; exit 1; }
fi
cmake --build "$BUILD_DIR" --target soak -j2

. scripts/wine-env.sh
use_null_audio
scripts/make-fixtures.sh "$BUILD_DIR/fixtures"
start_xvfb
trap stop_wine_and_xvfb EXIT
wine_prefix_init

log="$BUILD_DIR/soak-$changes.log"
echo "Soak: $changes track changes (log: $log)"
started=$(date +%s)
status=0
# The test gives itself a second per change at most; the wrapper's limit is above that.
QUILLON_SOAK_CHANGES=$changes WINE_RUN_TIMEOUT=$((120 + 2 * changes)) \
  "$BUILD_DIR/wine-run" "$BUILD_DIR/soak.exe" >"$log" 2>&1 || status=$?
grep '^soak:' "$log" || true
grep -E '^\[  (PASSED|FAILED) ' "$log" || true
echo "Soak finished in $(($(date +%s) - started)) s with status $status"
exit $status
