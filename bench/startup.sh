#!/usr/bin/env bash
# Prints how long kavrin.exe takes to show its whole first screen under Wine
# against bench/plain_window, the same first screen made with plain Win32
# calls and nothing else (the goal: at most 1.2 times as long), and that
# against a bare Win32 window: 20 rounds (or the number given), each
# starting them in turn, and the medians of the rounds' ratios. The clock
# stops when every shown window has painted and the work deferred until
# after the first paint is done. Not a test: the figures depend on the
# machine and on what else runs on it.
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
