#!/usr/bin/env bash
# Prints what Kavrin and its ffmpeg backends cost beyond ffmpeg itself, for
# real conversions of 60-second 5.1 samples (the ".VOB" with streams 0x80
# and 0x81 and the ".ac3": three jobs per mode). Each mode runs once through
# Kavrin's window, driven by the demo driver and timed from "Go" to the
# finished box, and once as the same ffmpeg commands run directly: the
# transcoder's, as its reports in Kavrin's log give them, and for DTS-CD the
# encoder's DTS encoding of the six mono files. The target is
# Kavrin <= 1.1 x ffmpeg + 1 s per job + 1 s more per DTS-CD job.
# Not a test; it takes a few minutes.
#
#   bench/real_audio.sh [build folder of the windows-x64 preset]
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

cd "$KAVRIN_ROOT"
build=${1:-$KAVRIN_ROOT/build/windows-x64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset windows-x64 -S "$KAVRIN_ROOT" -B "$build"
fi
cmake --build "$build" --target kavrin real_audio_demo kavrin_transcoder kavrin_dts_encoder

samples=$build/real-audio-samples-60s
echo "Samples of 60 s in $samples"
"$KAVRIN_ROOT/scripts/make_samples.sh" "$samples" 60

work=$(mktemp -d "${TMPDIR:-/tmp}/kavrin-bench.XXXXXX")
finish() {
  kavrin_stop_session
  rm -rf "$work"
}
trap finish EXIT
# The display before any Wine session: one begun without it shows no windows.
if [ -z "${DISPLAY:-}" ]; then kavrin_start_xvfb; fi
kavrin_wine_env

# Kavrin's folders, and a copy of them for the direct runs.
for side in kavrin direct; do mkdir -p "$work/$side/temp" "$work/$side/output"; done
kavrin_backends_ini "$work/kavrin/Kavrin.ini" "$build/backends" "$work/kavrin" </dev/null

echo "Through Kavrin (three batches of three jobs):"
wine "$build/tests/driver/real_audio_demo.exe" --kavrin="$build/kavrin.exe" --ini="$work/kavrin/Kavrin.ini" \
  --samples="$samples" --minutes=30 >"$work/driver.txt" 2>"$work/messages.txt" || {
  cat "$work/driver.txt" >&2
  echo "The batches did not run through." >&2
  exit 1
}
grep '^batch ' "$work/driver.txt"

# The words of one logged command, split as the C runtime splits them (none
# holds a backslash or a quote of its own), with Kavrin's folders swapped for
# the direct ones.
words_of() {
  mapfile -d '' words < <(printf '%s' "$1" | xargs printf '%s\0')
  words=("${words[@]//"$work/kavrin/"/"$work/direct/"}")
}

# The DTS encoder's ffmpeg run on the six mono files of one job (its command
# is not logged; this is the one it builds).
dts_encode() {
  local base=$1 inputs=() n=0 map=""
  for channel in FL FR SL SR C LFE; do inputs+=(-i "$base$channel.WAV.part"); done
  for name in FL FR SL SR FC LFE; do map+="${map:+|}$n.0-$name"; n=$((n + 1)); done
  ffmpeg -nostdin -hide_banner -nostats -loglevel error -y "${inputs[@]}" -filter_complex \
    "[0:a][1:a][2:a][3:a][4:a][5:a]join=inputs=6:channel_layout=5.1(side):map=$map,aresample=osr=44100[dts]" \
    -map '[dts]' -c:a dca -strict -2 -b:a 1234800 -f dts "$base.dts"
}

now() { date +%s.%N; }

# One mode's ffmpeg work, directly: every logged command of its reports in order.
direct_seconds() {
  local flag=$1 start
  mapfile -t commands < <(awk -v flag="$flag" '
    /^Kavrin transcoder / { mine = 0 }
    /^  mode: / { mine = index($0, "(" flag ")") > 0 }
    mine && /^  ffmpeg: / { sub(/^  ffmpeg: /, ""); sub(/\r$/, ""); print }' "$work/kavrin/kavrin.log")
  [ ${#commands[@]} -gt 0 ] || { echo "no ffmpeg commands for $flag in the log" >&2; return 1; }
  start=$(now)
  for command in "${commands[@]}"; do
    words_of "$command"
    "${words[@]}" >/dev/null 2>&1 || { echo "failed directly: $command" >&2; return 1; }
    for word in "${words[@]}"; do
      if [[ "$word" == *FL.WAV.part ]]; then dts_encode "${word%FL.WAV.part}"; fi
    done
  done
  awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'
}

echo
printf '%-8s %5s %10s %10s %7s %10s\n' mode jobs Kavrin ffmpeg ratio target
status=0
for mode in DTS-CD:-6ch AC3-CD:-ddwav CDDA:-2ch; do
  name=${mode%%:*}
  kavrin=$(awk -v m="$name" '$1 == "batch" && $2 == m ":" { print $3 }' "$work/driver.txt")
  direct=$(direct_seconds "${mode#*:}")
  jobs=3
  extra=$([ "$name" = DTS-CD ] && echo "$jobs" || echo 0)
  read -r ratio target verdict < <(awk -v k="$kavrin" -v d="$direct" -v j="$jobs" -v e="$extra" 'BEGIN {
    t = 1.1 * d + j + e
    printf "%.2f %.2f %s\n", (d > 0 ? k / d : 0), t, (k <= t ? "met" : "MISSED") }')
  [ "$verdict" = met ] || status=1
  printf '%-8s %5d %8.2f s %8.2f s %7s %8.2f s  %s\n' "$name" "$jobs" "$kavrin" "$direct" "$ratio" "$target" "$verdict"
done
exit $status
