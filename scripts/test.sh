#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the
# Windows build's unit, integration and end-to-end tests under Wine on a
# virtual display, and beside them the core's unit tests natively with ASan
# and UBSan and the checks of formatting and clang-tidy (scripts/lint.sh);
# then packs the release (scripts/release.sh).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# What scripts/lint.sh adds, installed here: it runs beside the tests.
KAVRIN_PACKAGES+=(clang-format clang-tidy)
kavrin_install_packages
cd "$KAVRIN_ROOT"

status=0
kavrin_build windows-x64
kavrin_wine_env
# The GUI tests always run on a display of their own, never on the user's.
kavrin_start_xvfb
trap kavrin_stop_session EXIT

# The core's native build and its tests with the sanitizers, then formatting
# and clang-tidy (scripts/lint.sh), run beside the Windows tests at the
# lowest priority: they take the processors while the tests wait on windows
# and timers, and yield them whenever a test has work to do.
beside() {
  renice -n 19 -p "$BASHPID" >/dev/null || true
  local failed=0
  { kavrin_build linux && ctest --preset linux; } || failed=1
  ./scripts/lint.sh || failed=1
  return $failed
}
beside_log=$KAVRIN_ROOT/build/beside-the-windows-tests.log
beside >"$beside_log" 2>&1 &
beside_pid=$!
ctest --preset windows-x64 || status=1
beside_status=0
wait "$beside_pid" || beside_status=1
cat "$beside_log"
[ $beside_status -eq 0 ] || { echo "The native tests or scripts/lint.sh FAILED"; status=1; }

# The release package, and its check that kavrin.exe needs only Windows' DLLs.
./scripts/release.sh "$KAVRIN_ROOT/build/windows-x64" || status=1

if [ $status -ne 0 ]; then echo "Some tests FAILED"; else echo "All tests passed"; fi
exit $status
