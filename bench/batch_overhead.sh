#!/usr/bin/env bash
# Prints what a batch costs beyond its children: the time per job over 20 jobs
# of a transcoder stand-in that ends at once (the one-second poll is the
# floor), Kavrin's CPU time while it waits 30 s for a child, and its open
# handles before and after 200 jobs. Not a test; it takes about five minutes.
#
#   bench/batch_overhead.sh [build folder of the windows-x64 preset]
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

cd "$KAVRIN_ROOT"
build=${1:-$KAVRIN_ROOT/build/windows-x64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset windows-x64 -S "$KAVRIN_ROOT" -B "$build"
fi
cmake --build "$build" --target kavrin batch_bench besweet_standin
kavrin_wine_env

if [ -z "${DISPLAY:-}" ]; then
  kavrin_start_xvfb
  trap kavrin_stop_session EXIT
fi
wine "$build/tests/driver/batch_bench.exe" --kavrin="$build/kavrin.exe" \
  --gtest_also_run_disabled_tests --gtest_filter='BatchBench.*' 2>&1 |
  grep -E '^(per job|open handles|CPU time)|FAILED|Failure' || true
