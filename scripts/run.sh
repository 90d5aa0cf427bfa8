#!/usr/bin/env bash
# Installs what is missing, builds kavrin.exe with our two ffmpeg backends and
# sets up a demo folder, build/demo, in which "Go" works at once:
# tools/ holds kavrin-transcoder.exe and kavrin-dts-encoder.exe with their
# ffmpeg.exe (built once from Debian's source, scripts/build_ffmpeg.sh), samples/ a
# ".VOB" with two 5.1 AC3 streams (0x80, 0x81) and an ".ac3", made with
# ffmpeg, and Kavrin.ini points at them and at the folders below.
#
# With a display, Kavrin starts there under Wine. Without one, it runs on a
# virtual display (Xvfb) where a demo driver works its real window through
# one batch per mode, printing each step and saving pictures of the screen
# in build/demo/shots/; the tracks made are listed at the end.
#
# KAVRIN_BUILD and KAVRIN_DEMO choose other build and demo folders.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# Wine's own fonts draw the window frames' buttons on the virtual display.
KAVRIN_PACKAGES+=(fonts-wine)

kavrin_install_packages
cd "$KAVRIN_ROOT"
build=${KAVRIN_BUILD:-$KAVRIN_ROOT/build/windows-x64}
demo=${KAVRIN_DEMO:-$KAVRIN_ROOT/build/demo}
cmake --preset windows-x64 -S "$KAVRIN_ROOT" -B "$build"
# Only what runs here: the tests take most of a whole build (scripts/test.sh).
cmake --build "$build" --target kavrin kavrin_transcoder kavrin_dts_encoder ffmpeg_exe real_audio_demo

# Without a display, the virtual one comes first: a Wine session begun
# without a display cannot show windows later.
headless=""
x11_key='HKCU\Software\Wine\X11 Driver'
decorated=""
finish() {
  # The frames are Wine's own only while no window manager runs.
  if [ -n "$decorated" ]; then wine reg delete "$x11_key" /v Decorated /f >/dev/null 2>&1 || true; fi
  kavrin_stop_session
}
if [ -z "${DISPLAY:-}" ]; then
  headless=yes
  echo "No display found: Kavrin runs on a virtual display (Xvfb), worked by a demo driver."
  kavrin_start_xvfb
  trap finish EXIT
fi
kavrin_wine_env

mkdir -p "$demo/tools" "$demo/samples" "$demo/temp" "$demo/output"
cp "$build/kavrin.exe" "$demo/"
cp "$build/backends/kavrin-transcoder.exe" "$build/backends/kavrin-dts-encoder.exe" "$build/backends/ffmpeg.exe" \
  "$demo/tools/"
# What the test stand-ins of earlier versions left.
rm -f "$demo/tools/besweet_standin.exe" "$demo/tools/surcode_standin.exe" "$demo/surcode.ssf"

# A settings file of an earlier run that does not name the backends is replaced.
if ! grep -qi kavrin-transcoder "$demo/Kavrin.ini" 2>/dev/null; then
  kavrin_backends_ini "$demo/Kavrin.ini" "$demo/tools" "$demo" <<EOF
DTS CD=0
AC3 CD=1
CDDA CD=0
EOF
fi

# Ten seconds each; the stand-ins' test-tone files of earlier versions are replaced.
"$KAVRIN_ROOT/scripts/make_samples.sh" "$demo/samples" 10

if [ -z "$headless" ]; then
  cat <<EOF
Starting $demo/kavrin.exe
  Add the files of $demo/samples through "Input files" > "Add" (choose
  streams for the .VOB entry), press "Go", and the tracks appear in
  $demo/output. DTS-CD, AC3-CD and CDDA all convert for real, with ffmpeg.
EOF
  cd "$demo"
  exec wine "$demo/kavrin.exe"
fi

decorated=yes
wine reg add "$x11_key" /v Decorated /d N /f >/dev/null 2>&1 || true
for font in /usr/share/wine/fonts/*; do
  [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done

rm -rf "$demo/shots"
mkdir -p "$demo/shots"
started=$demo/.demo-started
touch "$started"
# The backends' reports and Wine's messages go to a file; the steps to the screen.
status=0
wine "$build/tests/driver/real_audio_demo.exe" --kavrin="$demo/kavrin.exe" --ini="$demo/Kavrin.ini" \
  --samples="$demo/samples" --shots="$demo/shots" 2>"$demo/demo-messages.log" || status=$?

# The driver saves BMP pictures; PNG files are smaller.
for shot in "$demo/shots"/*.bmp; do
  [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done

echo
echo "Tracks made in $demo/output (codec, rate, channels, duration, as ffprobe reads them):"
made=0
while IFS= read -r -d '' track; do
  facts=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels \
    -show_entries format=duration -of default=noprint_wrappers=1 "$track" |
    awk -F= '{v[$1]=$2} END {printf "%-10s %6s Hz  %s channels  %6.2f s", v["codec_name"], v["sample_rate"], v["channels"], v["duration"]}')
  printf '  %-28s %s\n' "$(basename "$track")" "$facts"
  made=$((made + 1))
done < <(find "$demo/output" -maxdepth 1 -name '*.wav' -newer "$started" -printf '%T@ %p\0' | sort -zn | cut -zd' ' -f2-)
[ "$made" -gt 0 ] || echo "  none"
rm -f "$started"
echo "Pictures: $demo/shots/ ($(find "$demo/shots" -name '*.png' | wc -l) files); log: $demo/kavrin.log"
if [ "$status" -ne 0 ] || [ "$made" -eq 0 ]; then
  echo "The demo did not run through; see above and $demo/demo-messages.log" >&2
  exit 1
fi
