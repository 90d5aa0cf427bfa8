#!/usr/bin/env bash
# Builds the ffmpeg.exe that the backends run: Debian's ffmpeg source package
# of the 5.1 series, our patches of third_party/ffmpeg/*.patch applied in name
# order, cross-built with mingw-w64 into one static LGPL program that holds
# only what the backends use (and the decoders that read their tracks back).
#
#   scripts/build_ffmpeg.sh DEST_DIR
#
# DEST_DIR receives ffmpeg.exe, FFMPEG.txt (source version, patches,
# configure line) and COPYING.LGPLv2.1. The build is kept in a cache,
# build/ffmpeg (KAVRIN_FFMPEG_CACHE chooses another), under a key of source
# version, patch set and this recipe; with the same key only the copy is made.
#
# The source comes through apt-get with a private copy of this machine's own
# apt sources, their deb-src twins, and private lists: the machine's apt set-up
# is only read. The lists are renewed once a day; offline, the last ones serve.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ $# -ne 1 ]; then
  echo "usage: $0 DEST_DIR" >&2
  exit 2
fi
dest=$1
cache=${KAVRIN_FFMPEG_CACHE:-$root/build/ffmpeg}
series=5.1
cross=x86_64-w64-mingw32
cc=$cross-gcc-posix
# nasm assembles the SIMD code: resampling and AC3 run about three times faster.
for tool in "$cc" nasm apt-get dpkg-source patch; do
  command -v "$tool" >/dev/null || { echo "ffmpeg: $tool is missing (see KAVRIN_PACKAGES in scripts/common.sh)" >&2; exit 1; }
done

mkdir -p "$cache" "$dest"
# One build at a time per cache: two build trees may ask at once.
exec 9>"$cache/.lock"
flock 9

apt_dir=$cache/apt
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")

# deb-src twins of every deb entry of the machine's sources, one-line and
# deb822; entries already of type deb-src are kept as they are.
write_sources() {
  rm -rf "$apt_dir/sources.list.d"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache"
  local list
  {
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$list" ] || continue
      sed -n -E 's/^[[:space:]]*deb(-src)?([[:space:]]+)/deb-src\2/p' "$list"
    done
  } | sort -u >"$apt_dir/sources.list"
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    sed -E 's/^(Types:).*$/\1 deb-src/I' "$list" >"$apt_dir/sources.list.d/$(basename "$list")"
  done
}

lists_fresh() {
  [ -n "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -mmin -1440 2>/dev/null | head -n 1)" ]
}

# The newest version of the series that the lists offer, or nothing.
newest_version() {
  apt-cache "${apt_opts[@]}" showsrc ffmpeg 2>/dev/null | sed -n 's/^Version: //p' | sort -u |
    while read -r v; do
      case "${v#*:}" in "$series".*) echo "$v" ;; esac
    done | sort -V | tail -n 1
}

write_sources
if ! lists_fresh; then
  echo "ffmpeg: reading the source lists of this machine's apt sources"
  apt-get "${apt_opts[@]}" -qq update >"$cache/apt-update.log" 2>&1 ||
    echo "ffmpeg: apt-get update reported problems (see $cache/apt-update.log); going on with the lists it has"
fi
version=$(newest_version)
if [ -z "$version" ]; then
  echo "ffmpeg: no ffmpeg source of the $series series in this machine's apt sources (see $cache/apt-update.log)" >&2
  exit 1
fi

# Exactly the parts the backends use: demuxing a DVD's program stream or a raw
# AC3 stream, decoding AC3, resampling and mixing, the DTS, AC3 and PCM
# encoders and the WAV, IEC 61937 and raw muxers; 32-bit float in Wave64, in
# which the transcoder keeps a decoded stream between its passes; and the DTS
# decoder with its probes, so that a track can be decoded again by the same
# program. The MPEG
# video probe and parser only name a DVD's video stream, so that probing the
# file ends early instead of reading 50 MB for a stream it cannot name.
components=(
  --enable-protocol=file,pipe
  --enable-demuxer=mpegps,mpegvideo,ac3,wav,w64,dts,spdif
  --enable-parser=ac3,dca,mpegvideo
  --enable-decoder=ac3,dca,pcm_s16le,pcm_f32le
  --enable-encoder=ac3,dca,pcm_s16le,pcm_f32le
  --enable-muxer=wav,w64,spdif,dts,ac3,null,pcm_s16le
  --enable-filter=aresample,aformat,anull,volume,astats,channelsplit,join,apad,pan,asplit,firequalizer
)
flags=(
  --enable-cross-compile --target-os=mingw32 --arch=x86_64 --cross-prefix="$cross-" --cc="$cc"
  --pkg-config=false --disable-autodetect --disable-everything --disable-network --disable-doc --disable-debug
  --disable-ffplay --disable-ffprobe --disable-avdevice --disable-swscale --disable-postproc
  --enable-static --disable-shared --extra-ldflags=-static "${components[@]}"
)
mapfile -t patches < <(find "$root/third_party/ffmpeg" -maxdepth 1 -name '*.patch' 2>/dev/null | LC_ALL=C sort)
# The cache key: source version, compilers, configure line and every patch.
cache_key() {
  {
    echo "ffmpeg $version"
    "$cc" --version | head -n 1
    nasm -v
    echo "${flags[*]}"
    for p in "${patches[@]}"; do echo "$(basename "$p") $(sha256sum <"$p" | cut -d' ' -f1)"; done
  } | sha256sum | cut -d' ' -f1
}
key=$(cache_key)

out=$cache/out
install_result() {
  local f
  for f in ffmpeg.exe FFMPEG.txt COPYING.LGPLv2.1; do
    # Copied only when changed, so that nothing downstream rebuilds.
    cmp -s "$out/$f" "$dest/$f" || cp -f "$out/$f" "$dest/$f"
  done
}
if [ "$(cat "$out/key" 2>/dev/null)" = "$key" ] && [ -f "$out/ffmpeg.exe" ]; then
  install_result
  exit 0
fi

started=$(date +%s)
echo "ffmpeg: building ffmpeg $version for Windows (a few minutes, once)"
# Lists a day old may name a version the archive no longer holds: then they
# are renewed once and the newest version is taken.
fetch() {
  downloads=$cache/source/$version
  ls "$downloads"/*.dsc >/dev/null 2>&1 && return 0
  rm -rf "$downloads"
  mkdir -p "$downloads"
  # apt downloads as its own user where it can write.
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then chown _apt "$downloads"; fi
  (cd "$downloads" && apt-get "${apt_opts[@]}" -qq source --download-only "ffmpeg=$version" >/dev/null)
}
if ! fetch; then
  apt-get "${apt_opts[@]}" -qq update >"$cache/apt-update.log" 2>&1 || true
  version=$(newest_version)
  [ -n "$version" ] && fetch || { echo "ffmpeg: the ffmpeg source could not be fetched" >&2; exit 1; }
  key=$(cache_key)
fi

work=$cache/work
rm -rf "$work"
mkdir -p "$work"
dpkg-source --no-check -x "$downloads"/*.dsc "$work/src" >/dev/null
cd "$work/src"
for p in "${patches[@]}"; do
  echo "ffmpeg: applying $(basename "$p")"
  patch -p1 --no-backup-if-mismatch --quiet <"$p"
done

./configure "${flags[@]}" >"$work/configure.log" 2>&1 || {
  tail -n 30 "$work/configure.log" >&2
  echo "ffmpeg: configure failed (see $work/configure.log)" >&2
  exit 1
}
make -j"$(nproc)" ffmpeg.exe >"$work/make.log" 2>&1 || {
  tail -n 30 "$work/make.log" >&2
  echo "ffmpeg: make failed (see $work/make.log)" >&2
  exit 1
}

rm -rf "$out.new"
mkdir -p "$out.new"
cp ffmpeg.exe COPYING.LGPLv2.1 "$out.new/"
{
  echo "ffmpeg.exe: Debian's source package ffmpeg $version (apt-get source ffmpeg=$version),"
  echo "licensed under the LGPL 2.1 or later (COPYING.LGPLv2.1), built with mingw-w64 as a static program."
  echo
  if [ ${#patches[@]} -eq 0 ]; then
    echo "Patches: none."
  else
    echo "Patches of Kavrin (third_party/ffmpeg/ in its source), applied in this order:"
    for p in "${patches[@]}"; do
      echo "  $(basename "$p")$(sed -n '1,/^$/s/^Subject: *\(\[PATCH[^]]*\] *\)\?/: /p' "$p" | head -n 1)"
    done
  fi
  echo
  echo "configure ${flags[*]}"
} >"$out.new/FFMPEG.txt"
echo "$key" >"$out.new/key"
rm -rf "$out"
mv "$out.new" "$out"
rm -rf "$work"
install_result
echo "ffmpeg: ffmpeg $version built in $(($(date +%s) - started)) s, $(stat -c %s "$out/ffmpeg.exe") bytes"
