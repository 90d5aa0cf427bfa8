#!/usr/bin/env bash
# Installs what is missing, builds kavrin.exe and starts it under Wine: on the
# local display when there is one, otherwise on a virtual one (Xvfb).
#
# It starts in a demo folder, build/demo, set up so that "Go" works at once:
# small stand-in programs take the place of the transcoder and the DTS encoder
# (they write short test tones, not real conversions), Kavrin.ini points at
# them and at the folders below, and samples/ holds a ".vob" and an ".ac3"
# input to add through "Input files" > "Add".
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

kavrin_install_packages
cd "$KAVRIN_ROOT"
kavrin_build windows-x64
kavrin_wine_env

build=$KAVRIN_ROOT/build/windows-x64
demo=$KAVRIN_ROOT/build/demo
mkdir -p "$demo/tools" "$demo/samples" "$demo/temp" "$demo/output"
cp "$build/kavrin.exe" "$demo/"
cp "$build/tests/tools/besweet_standin/besweet_standin.exe" "$demo/tools/"
cp "$build/tests/tools/surcode_standin/surcode_standin.exe" "$demo/tools/"

win() { winepath -w "$1" 2>/dev/null; }

# The encoder stand-in reads its behaviour from the settings file Kavrin
# hands it: show the start-up window once, then encode for a second and a half.
[ -f "$demo/surcode.ssf" ] || printf 'startup=1\r\nencode_ms=1500\r\n' > "$demo/surcode.ssf"

# A settings file of an earlier run that does not name the stand-ins is replaced.
if ! grep -qi besweet_standin "$demo/Kavrin.ini" 2>/dev/null; then
  cat > "$demo/Kavrin.ini" <<EOF
[EXE]
BeSweet=$(win "$demo/tools/besweet_standin.exe")
SurCode=$(win "$demo/tools/surcode_standin.exe")
[FOLDERS]
BeSweet=$(win "$demo/temp")
SurCode=$(win "$demo/output")
[LOG]
Use Log=1
Filename=$(win "$demo/kavrin.log")
[SETTINGS]
Normalize=1
DTS CD=0
AC3 CD=1
CDDA CD=0
Shutdown=0
EOF
  sed -i 's/$/\r/' "$demo/Kavrin.ini"
fi

for sample in VTS_01_1.VOB movie.ac3; do
  [ -f "$demo/samples/$sample" ] || wine "$demo/tools/besweet_standin.exe" --make-sample "$(win "$demo/samples/$sample")" 64
done

if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: starting Kavrin on a virtual display (Xvfb)."
  kavrin_start_xvfb
  trap kavrin_stop_session EXIT
fi
cat <<EOF
Starting $demo/kavrin.exe
  Add the files of $demo/samples through "Input files" > "Add" (choose
  streams for the .VOB entry), press "Go", and the tracks appear in
  $demo/output. DTS-CD, AC3-CD and CDDA all work with the stand-ins.
EOF
cd "$demo"
wine "$demo/kavrin.exe"
