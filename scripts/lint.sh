#!/usr/bin/env bash
# Checks that includes point one way only (the table below), that the
# sources keep their formatting (.clang-format) and that clang-tidy
# (.clang-tidy) has nothing to say on the portable core, the window layer
# (app/), the Win32 layer (platform/win32/) and the backends.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$KAVRIN_ROOT"

# Which folders the sources of a folder may include from, as "dir/file.hpp";
# a folder's own headers are always allowed, and an entry naming a file
# allows that file alone. A folder not in the table (the tests, the benches)
# is not checked, nor are system headers in <> or generated ones without a
# folder. A source's row is the longest folder that holds it.
include_rules='
core
platform              core
platform/win32        core platform
settings              core platform
inputlist             core platform
batch                 core platform inputlist
encoder               core platform inputlist batch
model                 core platform inputlist batch
backends/common       core platform/win32/unique_resource.hpp
backends/transcoder   core backends/common platform/win32/unique_resource.hpp
backends/dts_encoder  core backends/common platform/win32/unique_resource.hpp
app/widgets           core platform platform/win32 app/resource_ids.h
app                   *
'

# Prints every include against the table and fails if there is one; needs
# nothing but git and awk, so it runs before the slower checks.
check_include_directions() {
  git ls-files '*.cpp' '*.hpp' '*.h' | xargs awk -v rules="$include_rules" '
    BEGIN {
      n = split(rules, lines, "\n")
      for (i = 1; i <= n; ++i) {
        if (split(lines[i], words, " ") == 0) continue
        allowed[words[1]] = " "
        for (j = 2; j in words; ++j) allowed[words[1]] = allowed[words[1]] words[j] " "
        delete words
      }
    }
    FNR == 1 {
      dir = FILENAME
      sub(/\/[^\/]*$/, "", dir)
      row = ""
      for (folder in allowed) {
        if ((dir == folder || index(dir "/", folder "/") == 1) && length(folder) > length(row)) row = folder
      }
    }
    row != "" && /^[ \t]*#[ \t]*include[ \t]*"[^"]*\/[^"]*"/ {
      target = $0
      sub(/^[^"]*"/, "", target)
      sub(/".*$/, "", target)
      tdir = target
      sub(/\/[^\/]*$/, "", tdir)
      if (allowed[row] == " * " || tdir == dir || tdir == row) next
      if (index(allowed[row], " " tdir " ") || index(allowed[row], " " target " ")) next
      printf "%s:%d: includes \"%s\"; %s/ may include from:%s\n", FILENAME, FNR, target, row,
             allowed[row] == " " ? " its own folder only" : allowed[row]
      bad = 1
    }
    END { exit bad }'
}

status=0
if ! check_include_directions; then
  echo "An include points the wrong way: see the table in scripts/lint.sh"
  status=1
fi

KAVRIN_PACKAGES+=(clang-format clang-tidy)
kavrin_install_packages

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

# The window and Win32 layers and the backends need windows.h: clang-tidy
# takes the cross build's compile commands and parses mingw-w64's headers for
# its target, with their one configuration, .clang-tidy-win32, on top of the
# root one.
# clang does not find the C++ headers in Debian's GCC folder ("12-posix"),
# so they are passed as the cross compiler lists them.
cmake --preset windows-x64 -B build/lint-win -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cxx=$(sed -n 's/^KAVRIN_MINGW_CXX:[A-Z]*=//p' build/lint-win/CMakeCache.txt)
[ -x "$cxx" ] || { echo "No mingw-w64 C++ compiler recorded in build/lint-win"; exit 1; }
win_options=(-p build/lint-win --quiet --config-file=.clang-tidy-win32 --extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do win_options+=("--extra-arg=-isystem$dir"); done < <(
  "$cxx" -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++[^ ]*\)$|\1|p')
mapfile -t win < <(git ls-files 'app/*.cpp' 'platform/win32/*.cpp' 'backends/*.cpp')
if ! tidy_each win_options "${win[@]}"; then
  echo "clang-tidy found something in app/, platform/win32/ or backends/"
  status=1
fi
exit $status
