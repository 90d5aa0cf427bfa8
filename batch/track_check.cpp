#include "batch/track_check.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace kavrin {

namespace {

constexpr std::uint64_t kBytesPerSecond = 44100ULL * 4;
// The first frame or burst must start this early.
constexpr std::uint64_t kFirstWithin = 2 * kBytesPerSecond;
const char* const kNotAWav = "not a 16-bit stereo 44.1 kHz PCM WAV";

std::uint16_t WordAt(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

std::uint32_t Little(const std::string& bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// A frame or a burst at a fixed period, its header first, then its body,
// then zeros up to the next one; after the last one only zeros. The mode's
// stream fills in what a header and a body must be.
class PeriodicStream : public StreamCheck {
 public:
  void Words(std::span<const std::uint8_t> bytes, std::uint64_t offset) override {
    for (std::size_t at = 0; at < bytes.size() && problem_.empty();) {
      const std::span<const std::uint8_t> rest = bytes.subspan(at);
      const std::uint64_t here = offset + at;
      switch (state_) {
        case State::Seek:
          at += Seek(rest, here);
          break;
        case State::Header:
          header_[headerWords_++] = WordAt(rest.data());
          at += 2;
          if (headerWords_ == HeaderWords()) Begin();
          break;
        case State::Body:
          at += TakeBody(rest, here);
          break;
        case State::Gap:
        case State::Tail:
          at += Zeros(rest, here);
          break;
      }
    }
  }

  std::string End(std::uint64_t) override {
    if (!problem_.empty()) return problem_;
    if (!started_) return NoStream();
    // A frame that the data ends inside breaks where it starts; the data
    // may end just before the next one.
    if ((state_ == State::Header && headerWords_ > 0) || state_ == State::Body) return BreaksAt(start_);
    return std::string();
  }

 protected:
  // The header as 16-bit values, then what its first frame or a later one
  // makes of it: an empty problem and the body's length in values.
  virtual std::size_t HeaderWords() const = 0;
  virtual std::string Judge(const std::uint16_t* header, std::uint64_t& bodyWords, std::uint64_t& period) = 0;
  virtual void Body(const std::uint8_t* bytes, std::size_t words, std::uint64_t offset) = 0;
  virtual std::string NoStream() const = 0;
  virtual std::string BreaksAt(std::uint64_t offset) const = 0;

  std::string problem_;
  std::uint64_t start_ = 0;  // where the current frame or burst starts

 private:
  // Each step answers how many bytes it took.
  std::size_t Seek(std::span<const std::uint8_t> rest, std::uint64_t here) {
    // Only zeros before the first frame.
    if (WordAt(rest.data()) == 0) return 2;
    if (here >= kFirstWithin) {
      problem_ = NoStream();
    } else {
      start_ = here;
      state_ = State::Header;
    }
    return 0;
  }

  std::size_t TakeBody(std::span<const std::uint8_t> rest, std::uint64_t here) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(bodyWords_, rest.size() / 2));
    Body(rest.data(), take, here);
    bodyWords_ -= take;
    if (bodyWords_ == 0) state_ = State::Gap;
    return take * 2;
  }

  std::size_t Zeros(std::span<const std::uint8_t> rest, std::uint64_t here) {
    std::size_t take = rest.size() / 2;
    if (state_ == State::Gap) take = static_cast<std::size_t>(std::min<std::uint64_t>(take, (next_ - here) / 2));
    for (std::size_t i = 0; i < take && problem_.empty(); ++i) {
      if (WordAt(&rest[2 * i]) != 0) problem_ = BreaksAt(here + 2 * i);
    }
    if (state_ == State::Gap && here + take * 2 == next_) {
      start_ = next_;
      state_ = State::Header;
    }
    return take * 2;
  }

  void Begin() {
    headerWords_ = 0;
    const bool zeros = std::all_of(header_.begin(), header_.begin() + static_cast<std::ptrdiff_t>(HeaderWords()),
                                   [](std::uint16_t word) { return word == 0; });
    if (started_ && zeros) {
      state_ = State::Tail;
      return;
    }
    std::uint64_t period = 0;
    problem_ = Judge(header_.data(), bodyWords_, period);
    // What is no frame at the start is no stream; later, a break.
    if (started_ && problem_ == NoStream()) problem_ = BreaksAt(start_);
    if (!problem_.empty()) return;
    started_ = true;
    next_ = start_ + period;
    state_ = bodyWords_ == 0 ? State::Gap : State::Body;
  }

  enum class State { Seek, Header, Body, Gap, Tail };
  State state_ = State::Seek;
  bool started_ = false;
  std::array<std::uint16_t, 8> header_{};
  std::size_t headerWords_ = 0;
  std::uint64_t bodyWords_ = 0;
  std::uint64_t next_ = 0;  // where the next one must start
};

// A DTS stream packed into 14-bit words, each sign-extended to 16 bits: a
// receiver that sees anything else plays noise.
class DtsStream final : public PeriodicStream {
 protected:
  std::size_t HeaderWords() const override { return 5; }

  std::string Judge(const std::uint16_t* h, std::uint64_t& bodyWords, std::uint64_t& period) override {
    // The sync word 0x7FFE8001 in 14-bit words, their top bits left aside so
    // that words which are not sign-extended are told as such.
    if ((h[0] & 0x3FFF) != 0x1FFF || (h[1] & 0x3FFF) != 0x2800 || (h[2] & 0x3FF0) != 0x07F0) return NoStream();
    for (int i = 0; i < 5; ++i) {
      if (!Extended(h[i])) return "DTS not in 14-bit words";
    }
    static constexpr int kRates[16] = {0, 8000, 16000, 32000, 0, 0, 11025, 22050, 44100, 0, 0, 12000, 24000, 48000};
    const int rate = kRates[h[4] & 0xF];
    if (rate != 44100) return "DTS at " + std::to_string(rate) + " Hz";
    // The block count and the frame's size, 39 and 46 bits into it.
    const unsigned blocks = ((h[2] & 0x7u) << 4 | (h[3] >> 10 & 0xFu)) + 1;
    const unsigned frameBytes = ((h[3] & 0x3FFu) << 4 | (h[4] >> 10 & 0xFu)) + 1;
    const std::uint64_t packedWords = (frameBytes * 8 + 13) / 14;
    period = std::uint64_t{blocks} * 32 * 4;
    if (packedWords * 2 > period) return BreaksAt(start_);
    bodyWords = packedWords - 5;
    return std::string();
  }

  void Body(const std::uint8_t* bytes, std::size_t words, std::uint64_t) override {
    for (std::size_t i = 0; i < words; ++i) {
      if (!Extended(WordAt(bytes + 2 * i))) {
        problem_ = "DTS not in 14-bit words";
        return;
      }
    }
  }

  std::string NoStream() const override { return "no DTS stream"; }
  std::string BreaksAt(std::uint64_t offset) const override { return "the DTS stream breaks at " + TrackTime(offset); }

 private:
  // The top two bits equal bit 13.
  static bool Extended(std::uint16_t word) { return ((word + 0x2000u) & 0xC000u) == 0; }
};

// IEC 61937 bursts of AC-3, one every 1536 samples.
class Ac3Stream final : public PeriodicStream {
 protected:
  std::size_t HeaderWords() const override { return 7; }

  std::string Judge(const std::uint16_t* h, std::uint64_t& bodyWords, std::uint64_t& period) override {
    if (h[0] != 0xF872 || h[1] != 0x4E1F || (h[2] & 0x1F) != 1 || h[4] != 0x0B77) return NoStream();
    static constexpr int kRates[4] = {48000, 44100, 32000, 0};
    const int rate = kRates[h[6] >> 14];
    if (rate != 44100) return "AC3 at " + std::to_string(rate) + " Hz";
    // The payload's length in bits, behind the burst's four values.
    const std::uint64_t payloadWords = (h[3] + 15u) / 16;
    period = 6144;
    if (8 + payloadWords * 2 > period || payloadWords < 3) return BreaksAt(start_);
    bodyWords = payloadWords - 3;
    return std::string();
  }

  void Body(const std::uint8_t*, std::size_t, std::uint64_t) override {}

  std::string NoStream() const override { return "no AC3 stream"; }
  std::string BreaksAt(std::uint64_t offset) const override { return "the AC3 stream breaks at " + TrackTime(offset); }
};

}  // namespace

std::string TrackTime(std::uint64_t offset) {
  const std::uint64_t hundredths = offset / 4 * 100 / 44100;
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02llu.%02llu", static_cast<unsigned long long>(hundredths / 6000),
                static_cast<unsigned long long>(hundredths / 100 % 60),
                static_cast<unsigned long long>(hundredths % 100));
  return text;
}

TrackCheck::TrackCheck(BatchMode mode) {
  if (mode == BatchMode::DtsCd) stream_ = std::make_unique<DtsStream>();
  if (mode == BatchMode::Ac3Cd) stream_ = std::make_unique<Ac3Stream>();
}

TrackCheck::~TrackCheck() = default;

void TrackCheck::Add(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty() && problem_.empty() && part_ != Part::Done) {
    if (part_ == Part::Data) {
      Data(bytes);
    } else {
      Header(bytes);
    }
  }
}

// The RIFF header, each chunk's header, the "fmt " chunk, and the chunks
// that are skipped.
void TrackCheck::Header(std::span<const std::uint8_t>& bytes) {
  if (part_ == Part::Skip) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left_, bytes.size()));
    left_ -= take;
    bytes = bytes.subspan(take);
    if (left_ == 0) part_ = Part::ChunkHeader;
    return;
  }
  const std::size_t wanted = part_ == Part::Riff ? 12 : part_ == Part::ChunkHeader ? 8 : left_;
  const std::size_t take = std::min(wanted - pending_.size(), bytes.size());
  pending_.append(reinterpret_cast<const char*>(bytes.data()), take);
  bytes = bytes.subspan(take);
  if (pending_.size() < wanted) return;
  if (part_ == Part::Riff) {
    if (pending_.compare(0, 4, "RIFF") != 0 || pending_.compare(8, 4, "WAVE") != 0) problem_ = kNotAWav;
    part_ = Part::ChunkHeader;
  } else if (part_ == Part::Format) {
    formatOk_ = Little(pending_, 0, 2) == 1 && Little(pending_, 2, 2) == 2 && Little(pending_, 4, 4) == 44100 &&
                Little(pending_, 12, 2) == 4 && Little(pending_, 14, 2) == 16;
    part_ = Part::ChunkHeader;
  } else {
    const std::string id = pending_.substr(0, 4);
    const std::uint32_t size = Little(pending_, 4, 4);
    // Chunks keep to even sizes.
    left_ = size + (size & 1u);
    if (id == "data") {
      if (!formatOk_ || size % 4 != 0) problem_ = kNotAWav;
      sawData_ = true;
      dataBytes_ = size;
      left_ = size;
      part_ = Part::Data;
    } else if (id == "fmt " && size >= 16 && size <= 64) {
      part_ = Part::Format;
    } else {
      part_ = left_ == 0 ? Part::ChunkHeader : Part::Skip;
    }
  }
  pending_.clear();
}

void TrackCheck::Data(std::span<const std::uint8_t>& bytes) {
  std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left_, bytes.size()));
  std::span<const std::uint8_t> piece = bytes.first(take);
  bytes = bytes.subspan(take);
  left_ -= take;
  if (stream_) {
    std::uint64_t offset = dataRead_;
    if (hasOdd_ && !piece.empty()) {
      const std::uint8_t word[2] = {odd_, piece[0]};
      stream_->Words(word, offset - 1);
      piece = piece.subspan(1);
      hasOdd_ = false;
      ++offset;
    }
    const std::size_t whole = piece.size() & ~static_cast<std::size_t>(1);
    stream_->Words(piece.first(whole), offset);
    if (whole < piece.size()) {
      odd_ = piece.back();
      hasOdd_ = true;
    }
  }
  dataRead_ += take;
  if (left_ == 0) part_ = Part::Done;
}

TrackVerdict TrackCheck::End() {
  TrackVerdict verdict;
  verdict.DataBytes = dataBytes_;
  if (problem_.empty() && (!sawData_ || dataRead_ < dataBytes_)) problem_ = kNotAWav;
  if (problem_.empty() && stream_) problem_ = stream_->End(dataBytes_);
  verdict.Problem = problem_;
  return verdict;
}

TrackVerdict CheckTrack(FileStore& files, BatchMode mode, const std::string& path) {
  TrackCheck check(mode);
  const bool read = files.ReadInPieces(path, [&check](std::span<const std::uint8_t> bytes) {
    check.Add(bytes);
    return true;
  });
  if (!read) return {"cannot be read", 0};
  return check.End();
}

}  // namespace kavrin
