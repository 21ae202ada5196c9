#!/usr/bin/env bash
# Lines of the test suite beside lines of the program; fails above 0.4.
set -uo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | grep -E '\.(h|cpp|sh|py)$' | xargs -r cat | wc -l; }
program=$(count app audio editor framework persist player playlist print tray)
tests=$(count tests)
ratio=$(awk -v t="$tests" -v p="$program" 'BEGIN { printf "%.2f", p ? t / p : 0 }')
echo "test-ratio: tests $tests lines, program $program lines, ratio $ratio (at most 0.40)"
awk -v t="$tests" -v p="$program" 'BEGIN { exit !(t <= 0.4 * p) }'
