#!/usr/bin/env bash
# Runs ctest in an existing build with the test environment of ./test around
# it (Xvfb, the private Wine prefix, null audio, fixtures, the PDF printer).
# Usage: BUILD_DIR=... scripts/ctest.sh [ctest arguments]   (default BUILD_DIR: build/)
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-$PWD/build}
. scripts/test-env.sh
trap test_env_down EXIT
test_env_up
cd "$BUILD_DIR"
ctest "$@"
