#!/usr/bin/env bash
# Writes two inputs of SECONDS seconds each into DIR, with ffmpeg:
#   VTS_01_1.VOB  an MPEG program stream with a little video and two AC3 5.1
#                 substreams, 0x80 and 0x81;
#   movie.ac3     a raw AC3 5.1 stream, its dialogue level -27 dB.
# Every channel of every stream carries a tone of its own, so a conversion
# can be checked channel by channel (tests/driver/real_audio_flow.hpp holds
# the same table). With --odd, raw AC3 5.1 streams of the kinds that have
# gone wrong come too:
#   loud.ac3      tones that decode 1.9 dB above full scale;
#   silent.ac3    nothing but silence;
#   layout.ac3    loud stereo for the first half, quiet 5.1 for the second;
#   drc.ac3       the tones of movie.ac3, every frame with a -6 dB dynamic
#                 range word (scripts/ac3_drc.py);
#   lfe.ac3       the LFE at 20, 30, 50, 80 and 120 Hz at once, and 40 Hz in
#                 the right surround;
#   hotlfe.ac3    the LFE at 120 Hz and -3 dBFS, which the DTS encoder lifts
#                 above full scale;
#   VTS_02_1.VOB, VTS_02_2.VOB
#                 a title of twice SECONDS cut in two at an odd byte inside
#                 an AC3 frame at SECONDS, stream 0x80 with the tones of
#                 VTS_01_1.VOB's and a dialogue level of -24 dB.
# Files made by an earlier call with the same length are kept; new ones
# appear only once complete.
#
#   scripts/make_samples.sh [--odd] DIR SECONDS
set -euo pipefail

odd=""
if [ "${1:-}" = --odd ]; then
  odd=yes
  shift
fi
if [ $# -ne 2 ] || [[ ! "$2" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [--odd] DIR SECONDS" >&2
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
tones_lfe=(700 900 1100 "20 30 50 80 120" 1300 40)
tones_hot=(700 900 1100 120 1300 1500)

names=(VTS_01_1.VOB movie.ac3)
[ -n "$odd" ] && names+=(loud.ac3 silent.ac3 layout.ac3 drc.ac3 lfe.ac3 hotlfe.ac3 VTS_02_1.VOB VTS_02_2.VOB)
stamp="tones 3; $seconds s; ${names[*]}"
mkdir -p "$dir"
if [ "$(cat "$dir/.samples" 2>/dev/null)" = "$stamp" ]; then
  made=yes
  for name in "${names[@]}"; do [ -s "$dir/$name" ] || made=""; done
  [ -n "$made" ] && exit 0
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
  -filter_complex "$(join6 0 a)" -map '[a]' -c:a ac3 -ar 48000 -b:a 448k -dialnorm -27 -f ac3 "$work/movie.ac3"

if [ -n "$odd" ]; then
  # One 5.1 stream of SECONDS into $1 from six channel expressions of t, in
  # the order FL FR FC LFE SL SR; ffmpeg options may follow them.
  ac3_from() {
    local out=$1 exprs
    exprs=$(IFS='|'; echo "${*:2:6}")
    ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi \
      -i "aevalsrc=exprs=$exprs:channel_layout=5.1(side):sample_rate=48000:duration=$seconds" \
      -c:a ac3 -b:a 448k "${@:8}" -f ac3 "$out"
  }
  # Channel expressions of the tones $2... at amplitude $1; blank-separated
  # tones in one word share a channel.
  tones() {
    local amplitude=$1 word f sum
    shift
    for word in "$@"; do
      sum=""
      for f in $word; do sum+="${sum:+ + }$amplitude*sin(2*PI*$f*t)"; done
      echo "$sum"
    done
  }
  peak_db() { ffmpeg -nostdin -hide_banner -nostats "${@:2}" -i "$1" -af astats=measure_perchannel=none \
                -f null - 2>&1 | sed -n 's/.*Peak level dB: //p' | tail -n 1; }
  mapfile -t expr < <(tones 1.25 "${tones_80[@]}")
  ac3_from "$work/loud.ac3" "${expr[@]}"
  awk -v p="$(peak_db "$work/loud.ac3")" 'BEGIN { exit !(p > 1) }' || { echo "$0: loud.ac3 is not loud" >&2; exit 1; }

  ac3_from "$work/silent.ac3" 0 0 0 0 0 0

  mapfile -t expr < <(tones 0.1 "${tones_80[@]}")
  half=$(awk -v s="$seconds" 'BEGIN { print s / 2 }')
  # The stereo part ends in silence: the decoder's overlap would carry its
  # last loud block into the first 5.1 frame.
  gate="lt(t\\,$half-0.1)"
  ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi \
    -i "aevalsrc=exprs=$gate*0.9*sin(2*PI*${tones_80[0]}*t)|$gate*0.9*sin(2*PI*${tones_80[1]}*t):sample_rate=48000:duration=$half" \
    -c:a ac3 -b:a 448k -f ac3 "$work/stereo.ac3"
  seconds=$half ac3_from "$work/quiet.ac3" "${expr[@]}"
  cat "$work/stereo.ac3" "$work/quiet.ac3" >"$work/layout.ac3"

  mapfile -t expr < <(tones 0.125 "${tones_ac3[@]}")
  ac3_from "$work/plain.ac3" "${expr[@]}" -ad_conv_type hdcd
  python3 "$(dirname "${BASH_SOURCE[0]}")/ac3_drc.py" "$work/plain.ac3" "$work/drc.ac3" 224
  # Uncompressed it decodes as before; compressed 6 dB lower.
  md5() { ffmpeg -nostdin -loglevel error -drc_scale 0 -i "$1" -f md5 -; }
  [ "$(md5 "$work/plain.ac3")" = "$(md5 "$work/drc.ac3")" ] || { echo "$0: drc.ac3 decodes otherwise" >&2; exit 1; }
  awk -v a="$(peak_db "$work/plain.ac3")" -v b="$(peak_db "$work/drc.ac3" -drc_scale 1)" \
    'BEGIN { d = b - a; exit !(d < -5.8 && d > -6.2) }' || { echo "$0: drc.ac3 is not 6 dB lower" >&2; exit 1; }

  mapfile -t expr < <(tones 0.125 "${tones_lfe[@]}")
  ac3_from "$work/lfe.ac3" "${expr[@]}"

  mapfile -t expr < <(tones 0.125 "${tones_hot[@]}")
  expr[3]="0.7079*sin(2*PI*${tones_hot[3]}*t)"
  ac3_from "$work/hotlfe.ac3" "${expr[@]}"

  # A DVD title's parts are cut at about 1 GB, almost never between two AC3
  # frames: here 1001 bytes into the audio packet that starts at SECONDS.
  mapfile -t title_inputs < <(seconds=$((2 * seconds)) sines "${tones_80[@]}")
  ffmpeg -nostdin -hide_banner -loglevel error -y "${title_inputs[@]}" \
    -f lavfi -i "testsrc=duration=$((2 * seconds)):size=320x240:rate=25" -filter_complex "$(join6 0 a)" \
    -map 6:v -map '[a]' -c:v mpeg2video -b:v 1M -c:a ac3 -ar 48000 -b:a 448k -dialnorm -24 -f vob "$work/title.vob"
  cut=$(ffprobe -v error -select_streams a:0 -show_entries packet=pts_time,pos -of csv=p=0 "$work/title.vob" |
        awk -F, -v s="$seconds" 'NR == 1 { first = $1 } $1 - first >= s { print $2 + 1001; exit }')
  head -c "$cut" "$work/title.vob" >"$work/VTS_02_1.VOB"
  tail -c +$((cut + 1)) "$work/title.vob" >"$work/VTS_02_2.VOB"
  ac3_bytes() { ffmpeg -nostdin -loglevel fatal -i "$1" -map 0:a:0 -c copy -f ac3 - | wc -c; }
  [ $(($(ac3_bytes "$work/VTS_02_1.VOB") % 1792)) -ne 0 ] || { echo "$0: VTS_02_1.VOB ends between two frames" >&2; exit 1; }
fi

for name in "${names[@]}"; do mv -f "$work/$name" "$dir/"; done
echo "$stamp" >"$dir/.samples"
