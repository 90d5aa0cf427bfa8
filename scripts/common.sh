# Shared by the run and test scripts: packages, builds, a Wine prefix of our
# own and a virtual X display when there is no real one.
set -euo pipefail

KAVRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KAVRIN_PACKAGES=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix
                 wine wine64 xvfb xauth imagemagick x11-utils zip binutils-mingw-w64-x86-64 locales
                 ffmpeg dpkg-dev nasm patch libdca-utils cdrdao)

kavrin_install_packages() {
  local missing=()
  for p in "${KAVRIN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

kavrin_build() {
  local preset=$1
  cmake --preset "$preset" -S "$KAVRIN_ROOT"
  cmake --build --preset "$preset"
}

# A prefix of our own, so that nothing of the user's Wine set-up is touched.
kavrin_wine_env() {
  export WINEPREFIX=${KAVRIN_WINEPREFIX:-$KAVRIN_ROOT/build/wineprefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

KAVRIN_XVFB_PID=""
kavrin_start_xvfb() {
  local display=${KAVRIN_DISPLAY:-:87}
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  KAVRIN_XVFB_PID=$!
  export DISPLAY=$display
  for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "Xvfb did not come up on $display" >&2
  return 1
}

kavrin_stop_session() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$KAVRIN_XVFB_PID" ]; then kill "$KAVRIN_XVFB_PID" 2>/dev/null || true; wait "$KAVRIN_XVFB_PID" 2>/dev/null || true; fi
  KAVRIN_XVFB_PID=""
}

# Writes standard input to the file $1 as Kavrin reads its settings: CR LF
# line ends, the text in the ANSI code page Wine runs programs with (taken
# from the Unix locale). A path that code page cannot hold is refused with a
# message, and nothing is written.
kavrin_write_ini() {
  local file=$1 acp charset
  acp=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
        tr -d '\r' | awk '$1 == "ACP" { print $3 }')
  charset=CP${acp:-1252}
  [ "$acp" = 65001 ] && charset=UTF-8
  if ! sed 's/$/\r/' | iconv -f UTF-8 -t "$charset" >"$file.new" 2>/dev/null; then
    rm -f "$file.new"
    echo "$file: its paths cannot be written in Wine's code page ($charset); use folders with other names." >&2
    return 1
  fi
  mv -f "$file.new" "$file"
}

# Kavrin.ini for a run with the two backends of TOOLS (kavrin-transcoder.exe,
# kavrin-dts-encoder.exe) and the folders of WORK: temp/, output/ and the log
# kavrin.log, with Normalize on and no shutdown. Lines on standard input are
# added to [SETTINGS].
kavrin_backends_ini() {
  local ini=$1 tools=$2 work=$3
  {
    printf '[EXE]\nBeSweet=%s\nSurCode=%s\n' "$(winepath -w "$tools/kavrin-transcoder.exe" 2>/dev/null)" \
      "$(winepath -w "$tools/kavrin-dts-encoder.exe" 2>/dev/null)"
    printf '[FOLDERS]\nBeSweet=%s\nSurCode=%s\n' "$(winepath -w "$work/temp" 2>/dev/null)" \
      "$(winepath -w "$work/output" 2>/dev/null)"
    printf '[LOG]\nUse Log=1\nFilename=%s\n' "$(winepath -w "$work/kavrin.log" 2>/dev/null)"
    printf '[SETTINGS]\nNormalize=1\nShutdown=0\n'
    cat
  } | kavrin_write_ini "$ini"
}
