#!/usr/bin/env bash
# Native checks of the portable core, beside the Windows build:
#  1. the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer (g++);
#  2. a short libFuzzer run of each reader of outside bytes (clang), each on
#     a copy of its seed corpus so that the seeds in the tree stay as they are.
# FUZZ_RUNS sets the number of inputs per fuzz target (default 3000);
# NATIVE_BUILD_ROOT the folder that holds the two builds (default $BUILD_DIR, else build/).
# Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
FUZZ_RUNS=${FUZZ_RUNS:-3000}
JOBS=${JOBS:-2}
NATIVE_BUILD_ROOT=${NATIVE_BUILD_ROOT:-${BUILD_DIR:-$ROOT/build}}
SAN_DIR=$NATIVE_BUILD_ROOT/native-sanitize
FUZZ_DIR=$NATIVE_BUILD_ROOT/native-fuzz
mkdir -p "$NATIVE_BUILD_ROOT"
status=0

step() { printf '\n== %s\n' "$*"; }
fail() { echo "FAILED: $*" >&2; status=1; }

step "unit tests with ASan + UBSan ($SAN_DIR)"
if cmake -S "$ROOT" -B "$SAN_DIR" -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
       -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON >"$SAN_DIR.configure.log" 2>&1 \
   && cmake --build "$SAN_DIR" -j"$JOBS" --target unit_tests >"$SAN_DIR.build.log" 2>&1; then
  # The tests' own temporary files go to the build folder, not the tree.
  (cd "$SAN_DIR" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ./unit_tests --gtest_brief=1) \
    || fail "unit_tests under sanitizers"
else
  tail -n 40 "$SAN_DIR.configure.log" "$SAN_DIR.build.log" 2>/dev/null
  fail "sanitizer build"
fi

step "fuzz smoke, $FUZZ_RUNS runs per target ($FUZZ_DIR)"
targets=(m3u_fuzz settings_fuzz resume_fuzz)
if cmake -S "$ROOT" -B "$FUZZ_DIR" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
       -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_FUZZ=ON >"$FUZZ_DIR.configure.log" 2>&1 \
   && cmake --build "$FUZZ_DIR" -j"$JOBS" --target "${targets[@]}" >"$FUZZ_DIR.build.log" 2>&1; then
  for t in "${targets[@]}"; do
    work=$FUZZ_DIR/run-$t
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$ROOT/tests/fuzz/corpus/$t/"* "$work/corpus/" 2>/dev/null || true
    # -seed fixes the run, so that a failure here repeats on the next try.
    if (cd "$work" && "$FUZZ_DIR/$t" -runs="$FUZZ_RUNS" -seed=1 -max_len=4096 -len_control=0 -timeout=10 -rss_limit_mb=1024 \
          -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1); then
      echo "$t: $(grep -Eo 'Done [0-9]+ runs[^#]*' "$work/log" | tail -n1)"
    else
      tail -n 40 "$work/log"
      fail "$t (crash input in $work/artifacts)"
    fi
  done
else
  tail -n 40 "$FUZZ_DIR.configure.log" "$FUZZ_DIR.build.log" 2>/dev/null
  fail "fuzz build"
fi

exit $status
