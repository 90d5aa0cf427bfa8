#!/usr/bin/env bash
# Checks that the sources keep their formatting (.clang-format) and that
# clang-tidy (.clang-tidy) has nothing to say on the portable core, the
# window layer (app/) and the Win32 layer (platform/win32/).
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

# clang-tidy with the options in the array named first on each file after it,
# one file per core; a file's findings are printed together.
tidy_each() {
  local -n options=$1
  shift
  [ $# -gt 0 ] || return 0
  # shellcheck disable=SC2016
  printf '%s\0' "$@" | xargs -0 -n 1 -P "$(nproc)" bash -c \
    'out=$(clang-tidy "$@" 2>&1) || { printf "%s\n" "$out"; exit 1; }' tidy "${options[@]}"
}

# Only a configure is needed for the compile commands; the core builds natively.
cmake -S . -B build/lint -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
mapfile -t core < <(git ls-files 'core/*.cpp' 'platform/*.cpp' 'settings/*.cpp' 'inputlist/*.cpp' 'batch/*.cpp' 'encoder/*.cpp' |
                    grep -v '^platform/win32/')
# shellcheck disable=SC2034 # read by name
core_options=(-p build/lint --quiet)
if ! tidy_each core_options "${core[@]}"; then
  echo "clang-tidy found something in the core"
  status=1
fi

# The window and Win32 layers need windows.h: clang-tidy takes the cross
# build's compile commands and parses mingw-w64's headers for its target.
# clang does not find the C++ headers in Debian's GCC folder ("12-posix"),
# so they are passed as the cross compiler lists them.
cmake --preset windows-x64 -B build/lint-win -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cxx=$(sed -n 's/^KAVRIN_MINGW_CXX:[A-Z]*=//p' build/lint-win/CMakeCache.txt)
[ -x "$cxx" ] || { echo "No mingw-w64 C++ compiler recorded in build/lint-win"; exit 1; }
win_options=(-p build/lint-win --quiet --extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do win_options+=("--extra-arg=-isystem$dir"); done < <(
  "$cxx" -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++[^ ]*\)$|\1|p')
mapfile -t win < <(git ls-files 'app/*.cpp' 'platform/win32/*.cpp')
if ! tidy_each win_options "${win[@]}"; then
  echo "clang-tidy found something in app/ or platform/win32/"
  status=1
fi
exit $status
