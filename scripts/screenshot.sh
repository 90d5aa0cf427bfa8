#!/usr/bin/env bash
# Takes pictures of Kavrin's windows.
#   scripts/screenshot.sh KAVRIN_EXE OUTPUT_PNG [settings|files|dropdown|select-directory] [DPI]
#   scripts/screenshot.sh --readme KAVRIN_EXE [FOLDER]
# With "files" the "Files and folders" tab is clicked first; with "dropdown"
# the input list is opened and three sample files are added through the
# open-file dialog; with "select-directory" the folder dialog of "Final
# Output Folder" is shown instead of the main window. --readme takes every
# picture the README shows, at 96 and 144 dpi, into FOLDER (by default
# docs/screenshots).
# The program runs from a fresh temporary folder, so no settings file is
# found and the window shows its first-run state. It runs under Wine on a
# virtual display of its own (Xvfb; KAVRIN_DISPLAY if set, otherwise the
# first free one from :90) in its own prefix (KAVRIN_WINEPREFIX, by default
# build/screenshot-wine), with the system colours of Windows 10 and 11; both
# are shut down afterwards. DPI (96 unless given) becomes the prefix's
# LogPixels, which Wine reports as the screen's dpi. Missing Debian packages
# are installed first, among them Wine's own fonts, without which the caption
# buttons show letters instead of their symbols.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
KAVRIN_PACKAGES=(wine wine64 fonts-wine xvfb x11-utils imagemagick xdotool)

if [ "${1:-}" = --readme ]; then
  [ $# -ge 2 ] || { echo "usage: $0 --readme KAVRIN_EXE [FOLDER]" >&2; exit 2; }
  folder=${3:-$KAVRIN_ROOT/docs/screenshots}
  # name, page, dpi
  while read -r name page dpi; do
    "$0" "$2" "$folder/$name.png" "$page" "$dpi"
  done <<'PICTURES'
main-window settings 96
main-window-files files 96
main-window-144dpi settings 144
dropdown dropdown 96
dropdown-144dpi dropdown 144
select-directory select-directory 96
select-directory-144dpi select-directory 144
PICTURES
  exit
fi

if [ $# -lt 2 ]; then
  echo "usage: $0 KAVRIN_EXE OUTPUT_PNG [settings|files|dropdown|select-directory] [DPI]" >&2
  echo "       $0 --readme KAVRIN_EXE [FOLDER]" >&2
  exit 2
fi
exe=$(readlink -f "$1")
output=$2
page=${3:-settings}
dpi=${4:-96}
case "$dpi" in
  '' | *[!0-9]*) echo "DPI must be a number: $dpi" >&2; exit 2 ;;
esac
root=$KAVRIN_ROOT
caption='Kavrin v1.2'

[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }
kavrin_install_packages

export WINEPREFIX=${KAVRIN_WINEPREFIX:-$root/build/screenshot-wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
mkdir -p "$WINEPREFIX"

if [ -n "${KAVRIN_DISPLAY:-}" ]; then
  display=${KAVRIN_DISPLAY#:}
else
  display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
fi

work=$(mktemp -d)
xvfb_pid=""
wine_pid=""
cleanup() {
  if [ -n "$wine_pid" ]; then kill "$wine_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
xwininfo -root >/dev/null 2>&1 || { echo "the virtual display :$display did not start" >&2; exit 1; }

# No window manager runs on the virtual display: let Wine draw the frame.
# LogPixels is set every time, so a picture at another dpi before leaves
# nothing behind; the server reads it when it starts. The colours are those
# of a fresh Windows 10 or 11: a fresh prefix has a white scroll-bar colour,
# and with it the read-only fixed fields would look editable. The title bars
# are drawn as there with the accent colour on them: the active one blue
# with white text, an inactive one white with grey text. The classic caption
# colours of a fresh system, which its own title bars do not use, make the
# two look alike, and the open drop-down would seem inactive.
cat >"$work/settings.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf '%08x' "$dpi")

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$(printf '%08x' "$dpi")

[HKEY_CURRENT_USER\\Control Panel\\Colors]
"ActiveBorder"="180 180 180"
"ActiveTitle"="0 120 215"
"AppWorkspace"="171 171 171"
"ButtonAlternateFace"="0 0 0"
"ButtonDkShadow"="105 105 105"
"ButtonFace"="240 240 240"
"ButtonHilight"="255 255 255"
"ButtonLight"="227 227 227"
"ButtonShadow"="160 160 160"
"ButtonText"="0 0 0"
"GradientActiveTitle"="0 120 215"
"GradientInactiveTitle"="255 255 255"
"GrayText"="109 109 109"
"Hilight"="0 120 215"
"HilightText"="255 255 255"
"HotTrackingColor"="0 102 204"
"InactiveBorder"="244 247 252"
"InactiveTitle"="255 255 255"
"InactiveTitleText"="153 153 153"
"InfoText"="0 0 0"
"InfoWindow"="255 255 225"
"Menu"="240 240 240"
"MenuBar"="240 240 240"
"MenuHilight"="0 120 215"
"MenuText"="0 0 0"
"Scrollbar"="200 200 200"
"TitleText"="255 255 255"
"Window"="255 255 255"
"WindowFrame"="100 100 100"
"WindowText"="0 0 0"
REG
wine regedit /S "$(winepath -w "$work/settings.reg")" >/dev/null 2>&1
wineserver -w
# Wine's own fonts (Marlett for the caption buttons among them) must be found
# where this Wine looks: its build searches beside its data folder instead of
# in it, and the prefix's Fonts folder in any case.
for font in /usr/share/wine/fonts/*; do ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"; done
# A length of the 96-dpi layout at this dpi.
scaled() { echo $(( ($1 * dpi + 48) / 96 )); }

cp "$exe" "$work/kavrin.exe"
if [ "$page" = select-directory ]; then
  printf '[FOLDERS]\r\nSurCode=C:\\windows\r\n' >"$work/Kavrin.ini"
fi
if [ "$page" = dropdown ]; then
  samples="$WINEPREFIX/drive_c/Film"
  mkdir -p "$samples"
  for name in VTS_01_1.VOB VTS_01_2.VOB commentary.ac3; do : >"$samples/$name"; done
fi
(cd "$work" && exec wine kavrin.exe) >/dev/null 2>&1 &
wine_pid=$!

# A new prefix is set up on the first run, which takes a while.
shown=""
for _ in $(seq 600); do
  if xwininfo -root -tree 2>/dev/null | grep -q "\"$caption\""; then shown=yes; break; fi
  sleep 0.5
done
[ -n "$shown" ] || { echo "the window \"$caption\" did not show within 300 s" >&2; exit 1; }
sleep 2  # let it finish painting

geometry() {
  local info
  info=$(xwininfo -name "$caption")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  w=$(awk '/Width:/ {print $2}' <<<"$info")
  h=$(awk '/Height:/ {print $2}' <<<"$info")
}
geometry

# Waits for a window of the program: by name, or (no name) an unnamed one
# at least 200 pixels wide; sets wx wy ww wh.
find_window() {
  local name=$1 line
  for _ in $(seq 40); do
    if [ -n "$name" ]; then
      line=$(xwininfo -root -tree 2>/dev/null | grep "\"$name\": (\"kavrin.exe\"" | head -n1 || true)
    else
      line=$(xwininfo -root -tree 2>/dev/null | grep '(has no name): ("kavrin.exe"' |
        awk '{ split($(NF-1), g, /[x+]/); if (g[1] >= 200) { print; exit } }' || true)
    fi
    if [ -n "$line" ]; then
      read -r ww wh wx wy < <(awk '{ split($(NF-1), g, /[x+]/); print g[1], g[2], g[3], g[4] }' <<<"$line")
      return 0
    fi
    sleep 0.5
  done
  echo "the window ${name:-(the drop-down)} did not show" >&2
  return 1
}

# The client area is the bottom 209 rows and the middle 424 columns (at 96
# dpi), below a frame as wide at the bottom as at the sides.
client_width=$(scaled 424)
border=$(( (w - client_width) / 2 ))
client_left=$((x + border))
client_top=$((y + h - border - $(scaled 209)))
crop="${w}x${h}+${x}+${y}"

if [ "$page" = dropdown ]; then
  xdotool mousemove $((client_left + $(scaled 150))) $((client_top + $(scaled 14))) click 1
  find_window ""
  read -r px py pw ph <<<"$wx $wy $ww $wh"
  # The drop-down's client area: 424 by 289 at 96 dpi, in a sizing frame.
  edge=$(( (pw - $(scaled 424)) / 2 ))
  panel_left=$((px + edge))
  panel_top=$((py + ph - edge - $(scaled 289)))
  # "Add", then the folder and the names typed into the open-file dialog.
  xdotool mousemove $((panel_left + $(scaled 381))) $((panel_top + $(scaled 20))) click 1
  find_window "Open source files"
  sleep 1
  xdotool type --delay 30 'C:\Film'
  xdotool key Return
  sleep 1
  xdotool type --delay 30 '"VTS_01_1.VOB" "VTS_01_2.VOB" "commentary.ac3"'
  xdotool key Return
  sleep 2
  # The first entry selected, so that its stream choices show.
  xdotool mousemove $((panel_left + $(scaled 40))) $((panel_top + $(scaled 16))) click 1
  sleep 1
  right=$((px + pw > x + w ? px + pw : x + w))
  crop="$((right - x))x$((py + ph - y))+${x}+${y}"
fi

if [ "$page" = select-directory ]; then
  xdotool mousemove $((client_left + $(scaled 40))) $((client_top + $(scaled 42))) click 1
  sleep 1
  # The field "Final Output Folder", then Alt+Down as its browse button.
  xdotool mousemove $((client_left + $(scaled 208))) $((client_top + $(scaled 142))) click 1
  xdotool key alt+Down
  find_window "Select Directory"
  sleep 1
  crop="${ww}x${wh}+${wx}+${wy}"
fi

if [ "$page" = files ]; then
  # The first tab sits at the top left of the page control (8, 32 in the
  # client area).
  xdotool mousemove $((client_left + $(scaled 40))) $((client_top + $(scaled 42))) click 1
  sleep 1
fi

import -window root "$work/screen.png"
mkdir -p "$(dirname "$output")"
convert "$work/screen.png" -crop "$crop" +repage "$output"
echo "wrote $output (${crop%%+*})"

# Close it the way a user would; cleanup ends whatever is left.
if [ "$page" = files ] || [ "$page" = settings ]; then
  xdotool mousemove $((x + w / 2)) $((y + 8)) click 1 key alt+F4 || true
  for _ in $(seq 20); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.5; done
fi
