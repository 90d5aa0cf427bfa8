#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test:
# the core's unit tests natively with ASan and UBSan, then the Windows build's
# unit, integration and end-to-end tests under Wine on a virtual display,
# checks formatting and clang-tidy (scripts/lint.sh) and packs the release
# (scripts/release.sh).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# What scripts/lint.sh adds, installed here: it runs beside the tests.
KAVRIN_PACKAGES+=(clang-format clang-tidy)
kavrin_install_packages
cd "$KAVRIN_ROOT"

status=0
kavrin_build linux
ctest --preset linux || status=1

kavrin_build windows-x64
kavrin_wine_env
# The GUI tests always run on a display of their own, never on the user's.
kavrin_start_xvfb
trap kavrin_stop_session EXIT
# Formatting and clang-tidy (scripts/lint.sh) run beside the Windows tests,
# at the lowest priority: they take the processors while the tests wait on
# windows and timers, and yield them whenever a test has work to do.
lint_log=$KAVRIN_ROOT/build/lint.log
nice -n 19 ./scripts/lint.sh >"$lint_log" 2>&1 &
lint=$!
ctest --preset windows-x64 || status=1
lint_status=0
wait "$lint" || lint_status=1
cat "$lint_log"
[ $lint_status -eq 0 ] || { echo "scripts/lint.sh FAILED"; status=1; }

# The release package, and its check that kavrin.exe needs only Windows' DLLs.
./scripts/release.sh "$KAVRIN_ROOT/build/windows-x64" || status=1

if [ $status -ne 0 ]; then echo "Some tests FAILED"; else echo "All tests passed"; fi
exit $status
