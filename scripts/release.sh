#!/usr/bin/env bash
# Packs the release: build/release/kavrin-<version>.zip holding kavrin.exe, the
# two ffmpeg backends (kavrin-transcoder.exe, kavrin-dts-encoder.exe), their
# ffmpeg.exe with its build note (FFMPEG.txt: source version and our patches),
# licence (COPYING.LGPLv2.1) and our patches to its source (third_party/ffmpeg/),
# Kavrin's own licence (LICENSE) and README.md, from a windows-x64 build,
# every executable stripped of its symbols and debug sections, after checking
# that none needs a DLL beyond Windows' own.
#   scripts/release.sh [BUILD_DIR]           (default: build/windows-x64)
#   scripts/release.sh --check-imports EXE   (only the check)
# Any failure ends it with a non-zero status.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
objdump=x86_64-w64-mingw32-objdump
strip=x86_64-w64-mingw32-strip

# The DLLs the executables may import: Windows' own, and only those they use.
allowed=(ADVAPI32.DLL BCRYPT.DLL COMCTL32.DLL COMDLG32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL
         USER32.DLL UXTHEME.DLL)

check_imports() {
  local exe=$1
  command -v "$objdump" >/dev/null || { echo "$objdump is missing (binutils-mingw-w64-x86-64)" >&2; return 1; }
  [ -f "$exe" ] || { echo "no such file: $exe" >&2; return 1; }
  local dump
  dump=$("$objdump" -p "$exe") || { echo "$objdump cannot read $exe" >&2; return 1; }
  local imports
  imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r' | tr '[:lower:]' '[:upper:]')
  # An executable without an import table was not read correctly.
  [ -n "$imports" ] || { echo "no imports found in $exe" >&2; return 1; }
  local foreign=()
  local dll
  while IFS= read -r dll; do
    local ok=0
    for name in "${allowed[@]}"; do [ "$dll" = "$name" ] && ok=1; done
    [ $ok -eq 1 ] || foreign+=("$dll")
  done <<< "$imports"
  if [ ${#foreign[@]} -ne 0 ]; then
    echo "$exe imports DLLs that are not Windows' own: ${foreign[*]}" >&2
    return 1
  fi
  echo "$(basename "$exe") imports only: $(echo $imports)"
}

if [ "${1:-}" = "--check-imports" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 --check-imports EXE" >&2; exit 2; }
  check_imports "$2"
  exit
fi

build=${1:-$root/build/windows-x64}
[ -f "$build/CMakeCache.txt" ] || { echo "no configured build in $build (cmake --preset windows-x64)" >&2; exit 1; }
# The one version number is the project's, as CMake read it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
executables=(kavrin.exe kavrin-transcoder.exe kavrin-dts-encoder.exe ffmpeg.exe)
documents=(README.md LICENSE FFMPEG.txt COPYING.LGPLv2.1)
# The LGPL asks that whoever gets the modified ffmpeg.exe can rebuild it:
# the patches and their README, as they are in this tree.
mapfile -t sources < <(cd "$root" && find third_party/ffmpeg -type f | sort)
[ ${#sources[@]} -gt 0 ] || { echo "no files under third_party/ffmpeg in $root" >&2; exit 1; }
cmake --build "$build" --target kavrin kavrin_transcoder kavrin_dts_encoder ffmpeg_exe

out=$root/build/release
package=$out/kavrin-$version.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
backends=$build/backends
cp "$build/kavrin.exe" "$backends/kavrin-transcoder.exe" "$backends/kavrin-dts-encoder.exe" "$backends/ffmpeg.exe" \
  "$backends/FFMPEG.txt" "$backends/COPYING.LGPLv2.1" "$root/README.md" "$root/LICENSE" "$stage/"
for file in "${sources[@]}"; do
  mkdir -p "$stage/$(dirname "$file")"
  cp "$root/$file" "$stage/$file"
done
# About two thirds of a built program are symbols and debug sections that
# nothing reads at run time.
command -v "$strip" >/dev/null || { echo "$strip is missing (binutils-mingw-w64-x86-64)" >&2; exit 1; }
for exe in "${executables[@]}"; do
  "$strip" --strip-all "$stage/$exe"
  check_imports "$stage/$exe"
done
mkdir -p "$out"
rm -f "$package"
(cd "$stage" && cmake -E tar cf "$package" --format=zip "${executables[@]}" "${documents[@]}" "${sources[@]}")

listing=$(cmake -E tar tf "$package" | sort | tr '\n' ' ')
expected=$(printf '%s\n' "${documents[@]}" "${executables[@]}" "${sources[@]}" | sort | tr '\n' ' ')
[ "$listing" = "$expected" ] || { echo "$package holds: $listing" >&2; exit 1; }
echo "Packed $package"
