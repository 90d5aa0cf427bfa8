#!/usr/bin/env bash
# Prints what Kavrin and its ffmpeg backends cost beyond ffmpeg itself, for
# real conversions of 5.1 samples of 60 seconds and of 10 minutes (the ".VOB"
# with streams 0x80 and 0x81 and the ".ac3": three jobs per mode). Each mode
# runs once through Kavrin's window, driven by the demo driver and timed from
# "Go" to the finished box; once as the same ffmpeg commands run directly
# (the transcoder's, as its reports in Kavrin's log give them, and for DTS-CD
# the DTS encoding of the stream as one ffmpeg, which the encoder splits into
# segments; the transcoder's own work between its passes is left out); and once as one bare ffmpeg command per job that
# turns the stream into the mode's codec at 44.1 kHz and nothing more. Every
# ffmpeg is the backends' ffmpeg.exe under Wine. The target is Kavrin <= 1.1 x
# its ffmpeg commands + 1 s per job + 1 s more per DTS-CD job; the goals
# against the bare ffmpeg, on two cores, are DTS-CD <= 0.8 x, AC3-CD and CDDA
# <= 1.5 x. The logical processors (nproc) are printed with the figures.
# Not a test; it takes a quarter of an hour.
#
#   bench/real_audio.sh [build folder of the windows-x64 preset]
#   KAVRIN_BENCH_SECONDS="600" bench/real_audio.sh   (the sample lengths, 60 and 600 by default)
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

cd "$KAVRIN_ROOT"
build=${1:-$KAVRIN_ROOT/build/windows-x64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset windows-x64 -S "$KAVRIN_ROOT" -B "$build"
fi
cmake --build "$build" --target kavrin real_audio_demo kavrin_transcoder kavrin_dts_encoder ffmpeg_exe
ffmpeg_exe=$build/backends/ffmpeg.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/kavrin-bench.XXXXXX")
finish() {
  kavrin_stop_session
  rm -rf "$work"
}
trap finish EXIT
# The display before any Wine session: one begun without it shows no windows.
if [ -z "${DISPLAY:-}" ]; then kavrin_start_xvfb; fi
kavrin_wine_env

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

# Runs a logged command line: words split as CommandLineToArgvW splits them
# (no path holds a quote), Kavrin's folders swapped for the direct ones, and
# ffmpeg's standard output into a file, as the backends take it.
run_logged() {
  local line=$1 from to
  from=$(winepath -w "$work/kavrin/")
  to=$(winepath -w "$work/direct/")
  mapfile -d '' words < <(python3 -c '
import re, sys
line = sys.argv[1].replace(sys.argv[2], sys.argv[3])
for word in re.findall(r"\"[^\"]*\"|\S+", line):
    sys.stdout.write(word.strip("\"").replace("pipe:1", sys.argv[3] + "stdout.bin") + "\0")' "$line" "$from" "$to")
  wine "${words[@]}" >/dev/null 2>&1
}

# The DTS encoder's ffmpeg run on one job's stream. The six mono files it
# reads are the transcoder's own work, not ffmpeg's: the direct run encodes
# the float samples the transcoder's ffmpeg kept for them, into a file
# instead of the encoder's pipe.
dts_encode() {
  local kept=$1
  wine "$ffmpeg_exe" -nostdin -hide_banner -nostats -loglevel error -y -i "$(winepath -w "$kept")" \
    -af "aresample=osr=44100,apad=pad_len=512" -c:a dca -strict -2 -b:a 1234800 -f dts "$(winepath -w "$kept.dts")" \
    >/dev/null 2>&1
}

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
    run_logged "$command" || { echo "failed directly: $command" >&2; return 1; }
    if [[ "$command" == *"mono.w64.part"* ]]; then dts_encode "$work/direct/temp/mono.w64.part"; fi
  done
  since "$start"
}

# One bare ffmpeg command per job: the stream in the mode's codec at 44.1 kHz.
bare_seconds() {
  local name=$1 samples=$2 start
  local -a codec
  case $name in
    DTS-CD) codec=(-c:a dca -strict -2 -b:a 1234800 -f dts) ;;
    AC3-CD) codec=(-c:a ac3 -b:a 448k -f spdif) ;;
    CDDA) codec=(-ac 2 -c:a pcm_s16le -f wav) ;;
  esac
  start=$(now)
  for job in "VTS_01_1.VOB 0:i:0x80" "VTS_01_1.VOB 0:i:0x81" "movie.ac3 0:a:0"; do
    wine "$ffmpeg_exe" -nostdin -hide_banner -nostats -loglevel error -y -i "$(winepath -w "$samples/${job% *}")" \
      -map "${job#* }" -ar 44100 "${codec[@]}" "$(winepath -w "$work/direct/bare.out")" >/dev/null 2>&1 ||
      { echo "bare ffmpeg failed for $name, $job" >&2; return 1; }
  done
  since "$start"
}

status=0
for seconds in ${KAVRIN_BENCH_SECONDS:-60 600}; do
  samples=$build/real-audio-samples-${seconds}s
  echo "Samples of $seconds s in $samples"
  "$KAVRIN_ROOT/scripts/make_samples.sh" "$samples" "$seconds"
  rm -rf "$work/kavrin" "$work/direct"
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

  echo
  echo "nproc: $(nproc)"
  printf '%-8s %5s %10s %10s %7s %10s %8s %10s %7s\n' mode jobs Kavrin ffmpeg ratio target "" bare ratio
  for mode in DTS-CD:-6ch AC3-CD:-ddwav CDDA:-2ch; do
    name=${mode%%:*}
    kavrin=$(awk -v m="$name" '$1 == "batch" && $2 == m ":" { print $3 }' "$work/driver.txt")
    direct=$(direct_seconds "${mode#*:}")
    bare=$(bare_seconds "$name" "$samples")
    jobs=3
    extra=$([ "$name" = DTS-CD ] && echo "$jobs" || echo 0)
    read -r ratio target verdict bare_ratio < <(awk -v k="$kavrin" -v d="$direct" -v b="$bare" -v j="$jobs" \
      -v e="$extra" 'BEGIN {
      t = 1.1 * d + j + e
      printf "%.2f %.2f %s %.2f\n", (d > 0 ? k / d : 0), t, (k <= t ? "met" : "MISSED"), (b > 0 ? k / b : 0) }')
    [ "$verdict" = met ] || status=1
    printf '%-8s %5d %8.2f s %8.2f s %7s %8.2f s %-8s %8.2f s %7s\n' "$name" "$jobs" "$kavrin" "$direct" "$ratio" \
      "$target" "$verdict" "$bare" "$bare_ratio"
  done
  echo
done
exit $status
