#!/usr/bin/env bash
# Writes two inputs of SECONDS seconds each into DIR, with ffmpeg:
#   VTS_01_1.VOB  an MPEG program stream with a little video and two AC3 5.1
#                 substreams, 0x80 and 0x81;
#   movie.ac3     a raw AC3 5.1 stream.
# Every channel of every stream carries a tone of its own, so a conversion
# can be checked channel by channel (tests/driver/real_audio_flow.hpp holds
# the same table). Files made by an earlier call with the same length are
# kept; new ones appear only once complete.
#
#   scripts/make_samples.sh DIR SECONDS
set -euo pipefail

if [ $# -ne 2 ] || [[ ! "$2" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 DIR SECONDS" >&2
  exit 2
fi
dir=$1
seconds=$2
command -v ffmpeg >/dev/null || { echo "$0: ffmpeg is not installed (apt-get install ffmpeg)" >&2; exit 1; }

# Hz per channel, in the order FL FR FC LFE SL SR. The LFE tones stay well
# below the codecs' LFE cut-off; the others lie 220 Hz apart, below 3.5 kHz.
tones_80=(410 630 850 50 1070 1290)
tones_81=(1510 1730 1950 65 2170 2390)
tones_ac3=(2610 2830 3050 80 3270 3490)

stamp="tones 1; $seconds s"
mkdir -p "$dir"
if [ "$(cat "$dir/.samples" 2>/dev/null)" = "$stamp" ] && [ -s "$dir/VTS_01_1.VOB" ] && [ -s "$dir/movie.ac3" ]; then
  exit 0
fi
rm -f "$dir/.samples"

# Inputs -i for one tone set, and the join of six inputs starting at $2 into [$3].
sines() { for f in "$@"; do printf -- '-f\nlavfi\n-i\nsine=frequency=%s:sample_rate=48000:duration=%s\n' "$f" "$seconds"; done; }
join6() {
  local a=$1
  echo "[$a][$((a + 1))][$((a + 2))][$((a + 3))][$((a + 4))][$((a + 5))]join=inputs=6:channel_layout=5.1(side):map=0.0-FL|1.0-FR|2.0-FC|3.0-LFE|4.0-SL|5.0-SR[$2]"
}

work=$(mktemp -d "$dir/.making.XXXXXX")
trap 'rm -rf "$work"' EXIT

mapfile -t vob_inputs < <(sines "${tones_80[@]}" "${tones_81[@]}")
ffmpeg -nostdin -hide_banner -loglevel error -y "${vob_inputs[@]}" \
  -f lavfi -i "testsrc=duration=$seconds:size=320x240:rate=25" \
  -filter_complex "$(join6 0 a);$(join6 6 b)" \
  -map 12:v -map '[a]' -map '[b]' -c:v mpeg2video -b:v 1M -c:a ac3 -ar 48000 -b:a 448k \
  -f vob "$work/VTS_01_1.VOB"

mapfile -t ac3_inputs < <(sines "${tones_ac3[@]}")
ffmpeg -nostdin -hide_banner -loglevel error -y "${ac3_inputs[@]}" \
  -filter_complex "$(join6 0 a)" -map '[a]' -c:a ac3 -ar 48000 -b:a 448k -f ac3 "$work/movie.ac3"

mv -f "$work/VTS_01_1.VOB" "$work/movie.ac3" "$dir/"
echo "$stamp" >"$dir/.samples"
