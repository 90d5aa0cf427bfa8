#!/usr/bin/env bash
# Prints how long kavrin.exe takes to show its window under Wine against a bare
# Win32 window: 20 rounds (or the number given), each starting them in turn,
# and the median of the rounds' ratios. A third program, bench/plain_window,
# shows the same first screen with plain Win32 calls and nothing else, so the
# figures also tell what the windows themselves cost from what Kavrin's own
# code adds. Not a test: the figures depend on the machine and on what else
# runs on it.
#
#   bench/startup.sh [rounds] [build folder of the windows-x64 preset]
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

cd "$KAVRIN_ROOT"
rounds=${1:-20}
build=${2:-$KAVRIN_ROOT/build/windows-x64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset windows-x64 -S "$KAVRIN_ROOT" -B "$build"
fi
cmake --build "$build" --target kavrin bare_window plain_window startup_bench
kavrin_wine_env

if [ -z "${DISPLAY:-}" ]; then
  kavrin_start_xvfb
  trap kavrin_stop_session EXIT
fi
wine "$build/bench/startup_bench.exe" "$build/kavrin.exe" "$build/bench/bare_window.exe" "$rounds" \
  "$build/bench/plain_window.exe"
