#include "backends/transcoder/ac3_header.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <utility>

namespace kavrin::transcoder {
namespace {

constexpr std::size_t kHeaderBytes = 6;  // sync word, CRC1, rate and size code, bsid
constexpr int kSamplesPerFrame = 1536;
constexpr int kRates[] = {48000, 44100, 32000};
constexpr int kKbits[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};

bool SyncAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  return at + 1 < bytes.size() && bytes[at] == 0x0B && bytes[at + 1] == 0x77;
}

// The size in bytes of the AC3 frame whose header starts `bytes`; 0 when
// none does.
std::size_t FrameBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderBytes || !SyncAt(bytes, 0) || (bytes[5] >> 3) > 8) return 0;
  const unsigned rate = bytes[4] >> 6;
  const unsigned code = bytes[4] & 0x3F;
  if (rate > 2 || code >= 2 * std::size(kKbits)) return 0;
  const std::size_t kbits = kKbits[code / 2];
  // 16-bit words per 1536 samples; at 44.1 kHz the odd codes pad one word.
  const std::size_t words = rate == 0 ? 2 * kbits : rate == 2 ? 3 * kbits : kbits * 320 / 147 + (code & 1);
  return 2 * words;
}

// CRC-16 with the polynomial x^16 + x^15 + x^2 + 1, as AC3 frames carry it.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x8005 : crc << 1;
    table[i] = static_cast<std::uint16_t>(crc);
  }
  return table;
}();

unsigned Crc(std::span<const std::uint8_t> bytes) {
  unsigned crc = 0;
  for (std::uint8_t byte : bytes) crc = ((crc << 8) ^ kCrcTable[((crc >> 8) ^ byte) & 0xFF]) & 0xFFFF;
  return crc;
}

// CRC1 covers the first 5/8 of the frame after the sync word, CRC2 the
// whole of it; each leaves no remainder when intact.
bool Intact(std::span<const std::uint8_t> frame) {
  const std::size_t words = frame.size() / 2;
  const std::size_t fiveEighths = 2 * ((words >> 1) + (words >> 3));
  return Crc(frame.subspan(2, fiveEighths - 2)) == 0 && Crc(frame.subspan(2)) == 0;
}

std::string Clock(double seconds) {
  const long hundredths = std::lround(seconds * 100.0);
  const long whole = hundredths / 100;
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld.%02ld", whole / 3600, whole / 60 % 60, whole % 60,
                  hundredths % 100);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", whole / 60, whole % 60, hundredths % 100);
  }
  return text;
}

}  // namespace

std::optional<int> Ac3DialNorm(std::span<const std::uint8_t> frame) {
  // Sync word, CRC, sample rate and frame size, then bsid, bsmod and acmod:
  // the dialogue level ends 4 to 10 bits later.
  constexpr std::size_t kBytes = 8;
  if (frame.size() < kBytes || frame[0] != 0x0B || frame[1] != 0x77) return std::nullopt;
  std::size_t bit = 40;
  auto take = [&](int count) {
    unsigned value = 0;
    for (int i = 0; i < count; ++i, ++bit) value = value << 1 | ((frame[bit / 8] >> (7 - bit % 8)) & 1);
    return value;
  };
  // bsid 0 to 8 is AC3 (9 and 10 are its rare rate-halved kin), 16 E-AC3.
  if (take(5) > 8) return std::nullopt;
  take(3);
  const unsigned acmod = take(3);
  if ((acmod & 1) != 0 && acmod != 1) take(2);  // centre mix level
  if ((acmod & 4) != 0) take(2);                // surround mix level
  if (acmod == 2) take(2);                      // Dolby Surround mode
  take(1);                                      // LFE on
  const unsigned dialnorm = take(5);
  // 0 is reserved and read as -31, as decoders do.
  return dialnorm == 0 ? -31 : -static_cast<int>(dialnorm);
}

void Ac3StreamScan::Add(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(Scan(false)));
}

const Ac3StreamCheck& Ac3StreamScan::End() {
  Scan(true);
  pending_.clear();
  return check_;
}

// Takes every frame it can judge; gives the number of bytes done with. A
// frame whose CRCs fail is a damaged frame, which a decoder still gives out,
// when the next frame follows it; otherwise its sync word was chance.
std::size_t Ac3StreamScan::Scan(bool atEnd) {
  const std::span<const std::uint8_t> bytes(pending_);
  std::size_t at = 0;
  while (at < bytes.size()) {
    const bool synced = check_.SampleRate != 0;
    const std::size_t size = FrameBytes(bytes.subspan(at));
    const std::size_t left = bytes.size() - at;
    if (size == 0 && left < kHeaderBytes) {
      if (!atEnd) break;
      // Cut inside the header of its last frame.
      if (synced && bytes[at] == 0x0B) check_.CutBytes = left;
      return bytes.size();
    }
    if (size != 0 && left < size + 2 && !atEnd) break;
    if (size != 0 && left < size) {
      if (synced) std::tie(check_.CutBytes, check_.CutFrameBytes) = std::pair(left, size);
      return bytes.size();
    }
    const auto frame = bytes.subspan(at, size);
    const bool whole = size != 0 && Intact(frame);
    const bool followed = size != 0 && (left == size || SyncAt(bytes, at + size));
    if (whole || (synced && followed)) {
      Take(frame, whole);
      at += size;
      continue;
    }
    // No frame here: on to the next sync word. After the first whole frame
    // such bytes are damage; before it, the end of an earlier part's frame.
    if (synced && !inGap_) check_.Damaged.push_back(check_.Frames);
    inGap_ = synced;
    std::size_t next = at + 1;
    while (next < bytes.size() && !SyncAt(bytes, next)) ++next;
    // A last 0x0B may start a sync word that the next bytes complete.
    if (next == bytes.size() && !atEnd && bytes.back() == 0x0B) return bytes.size() - 1;
    at = next;
  }
  return at;
}

void Ac3StreamScan::Take(std::span<const std::uint8_t> frame, bool whole) {
  if (check_.SampleRate == 0) {
    check_.DialNorm = Ac3DialNorm(frame);
    check_.SampleRate = kRates[frame[4] >> 6];
  }
  if (!whole) check_.Damaged.push_back(check_.Frames);
  ++check_.Frames;
  inGap_ = false;
}

std::string DamageText(const Ac3StreamCheck& check) {
  if (check.Damaged.empty() || check.SampleRate == 0) return {};
  const auto second = static_cast<std::uint64_t>(check.SampleRate) / kSamplesPerFrame + 1;
  constexpr std::size_t kPlaces = 5;
  std::string text;
  std::size_t places = 0;
  std::uint64_t later = 0;
  for (std::size_t i = 0; i < check.Damaged.size();) {
    std::size_t end = i + 1;
    while (end < check.Damaged.size() && check.Damaged[end] - check.Damaged[end - 1] <= second) ++end;
    const std::size_t count = end - i;
    if (places == kPlaces) {
      later += count;
    } else {
      const double seconds = static_cast<double>(check.Damaged[i]) * kSamplesPerFrame / check.SampleRate;
      text += (places == 0 ? std::to_string(count) + (count == 1 ? " damaged AC3 frame" : " damaged AC3 frames")
                           : "; " + std::to_string(count)) +
              " near " + Clock(seconds);
      ++places;
    }
    i = end;
  }
  if (later > 0) text += "; " + std::to_string(later) + " more later";
  return text;
}

}  // namespace kavrin::transcoder
