#!/usr/bin/env bash
# Checks that the sources keep their formatting (.clang-format) and that
# clang-tidy (.clang-tidy) has nothing to say on the portable core.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

KAVRIN_PACKAGES+=(clang-format clang-tidy)
kavrin_install_packages
cd "$KAVRIN_ROOT"

status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.hpp')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "Formatting differs: run clang-format -i on the files above"
  status=1
fi

# Only a configure is needed for the compile commands; the core builds natively.
cmake -S . -B build/lint -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
mapfile -t core < <(git ls-files 'core/*.cpp' 'platform/*.cpp' 'settings/*.cpp' 'inputlist/*.cpp' 'batch/*.cpp' 'encoder/*.cpp' |
                    grep -v '^platform/win32/')
if ! clang-tidy -p build/lint --quiet "${core[@]}"; then
  echo "clang-tidy found something in the core"
  status=1
fi
exit $status
