#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test:
# the core's unit tests natively with ASan and UBSan, then the Windows build's
# unit, integration and end-to-end tests under Wine on a virtual display,
# checks formatting and clang-tidy (scripts/lint.sh) and packs the release
# (scripts/release.sh).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

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
ctest --preset windows-x64 || status=1

# Formatting, and clang-tidy on the core.
./scripts/lint.sh || status=1

# The release package, and its check that kavrin.exe needs only Windows' DLLs.
./scripts/release.sh "$KAVRIN_ROOT/build/windows-x64" || status=1

if [ $status -ne 0 ]; then echo "Some tests FAILED"; else echo "All tests passed"; fi
exit $status
