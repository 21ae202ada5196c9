#!/usr/bin/env bash
# Builds the big-list benchmark (optimised) and runs it under Wine on a
# virtual display. Prints a table of each command's time beside a baseline
# measured in the same run.   Usage: scripts/bench.sh [BUILD_DIR] (default $BUILD_DIR, else build/)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${1:-${BUILD_DIR:-$ROOT/build}}
BUILD_DIR=$(mkdir -p "$BUILD_DIR" && cd "$BUILD_DIR" && pwd)
export BUILD_DIR

scripts/deps.sh run
cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  >"$BUILD_DIR/bench.configure.log" 2>&1 || { cat "$BUILD_DIR/bench.configure.log"; exit 1; }
cmake --build "$BUILD_DIR" -j2 --target quillon_bench

. scripts/wine-env.sh
use_null_audio
start_xvfb
trap stop_wine_and_xvfb EXIT
wine_prefix_init

status=0
timeout 600 wine "$BUILD_DIR/bench/quillon_bench.exe" >"$BUILD_DIR/bench.log" 2>"$BUILD_DIR/bench.err" || status=$?
cat "$BUILD_DIR/bench.log"
[ $status -eq 0 ] || echo "The benchmark failed (exit $status); see $BUILD_DIR/bench.err"
exit $status
