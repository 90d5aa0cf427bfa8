#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "batch/track_check.hpp"
#include "fakes/fake_file_store.hpp"
#include "support/stream_samples.hpp"

namespace kavrin {
namespace {

using Bytes = std::string;

Bytes Of(std::span<const std::uint8_t> bytes) { return Bytes(bytes.begin(), bytes.end()); }

void Put(Bytes& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A WAV around `data`: 16-bit stereo 44.1 kHz PCM unless told otherwise,
// with a LIST chunk before the audio, as some programs write.
Bytes Wav(const Bytes& data, std::uint16_t tag = 1, std::uint32_t rate = 44100) {
  Bytes fmt;
  Put(fmt, tag, 2);
  Put(fmt, 2, 2);
  Put(fmt, rate, 4);
  Put(fmt, rate * 4, 4);
  Put(fmt, 4, 2);
  Put(fmt, 16, 2);
  Bytes wav = "RIFF";
  Put(wav, static_cast<std::uint32_t>(4 + 24 + 12 + 8 + data.size()), 4);
  wav += "WAVEfmt ";
  Put(wav, 16, 4);
  wav += fmt + "LIST";
  Put(wav, 3, 4);
  wav += std::string("abc") + '\0' + "data";
  Put(wav, static_cast<std::uint32_t>(data.size()), 4);
  return wav + data;
}

void Every(Bytes& data, std::size_t period, std::size_t at, const std::function<void(std::uint16_t&)>& change) {
  for (std::size_t frame = 0; frame + at + 1 < data.size(); frame += period) {
    auto word = static_cast<std::uint16_t>(static_cast<std::uint8_t>(data[frame + at]) |
                                           static_cast<std::uint8_t>(data[frame + at + 1]) << 8);
    change(word);
    data[frame + at] = static_cast<char>(word & 0xFF);
    data[frame + at + 1] = static_cast<char>(word >> 8);
  }
}

const Bytes kDts = Of(samples::DtsCdFrames()) + Bytes(4096, '\0');
const Bytes kAc3 = Of(samples::Ac3CdBursts());

// Each track as a receiver reads it, whole and in pieces of 7 bytes.
struct CheckCase {
  const char* name;
  BatchMode mode;
  std::function<Bytes()> track;
  const char* problem;
};

class TrackCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(TrackCheckTest, AsAReceiverReadsIt) {
  const CheckCase& row = GetParam();
  fakes::FakeFileStore files;
  files.files["t.wav"] = row.track();
  for (const std::size_t piece : {std::size_t{65536}, std::size_t{7}}) {
    files.pieceBytes = piece;
    const TrackVerdict verdict = CheckTrack(files, row.mode, "t.wav");
    EXPECT_EQ(verdict.Problem, row.problem) << piece;
  }
}

const BatchMode kDtsCd = BatchMode::DtsCd;
const BatchMode kAc3Cd = BatchMode::Ac3Cd;
const BatchMode kCdda = BatchMode::Cdda;

INSTANTIATE_TEST_SUITE_P(
    Rows, TrackCheckTest,
    ::testing::Values(
        CheckCase{"GoodDtsCd", kDtsCd, [] { return Wav(kDts); }, ""},
        CheckCase{"GoodAc3Cd", kAc3Cd, [] { return Wav(kAc3); }, ""},
        CheckCase{"GoodCdda", kCdda, [] { return Wav(kDts); }, ""},
        CheckCase{"FloatFormatTag", kCdda, [] { return Wav(kDts, 3); }, "not a 16-bit stereo 44.1 kHz PCM WAV"},
        CheckCase{"Wav48k", kAc3Cd, [] { return Wav(kAc3, 1, 48000); }, "not a 16-bit stereo 44.1 kHz PCM WAV"},
        CheckCase{"CutShortFile", kCdda, [] { return Wav(kDts).substr(0, 5000); },
                  "not a 16-bit stereo 44.1 kHz PCM WAV"},
        CheckCase{"NoSync", kDtsCd, [] { return Wav(kAc3); }, "no DTS stream"},
        CheckCase{"SyncAfterTwoSeconds", kDtsCd, [] { return Wav(Bytes(2 * 176400, '\0') + kDts); }, "no DTS stream"},
        CheckCase{"DtsAt48k", kDtsCd,
                  [] {
                    Bytes data = kDts;
                    Every(data, 2048, 8, [](std::uint16_t& w) { w = static_cast<std::uint16_t>((w & ~0xFu) | 13); });
                    return Wav(data);
                  },
                  "DTS at 48000 Hz"},
        CheckCase{"TopBitsZero", kDtsCd,
                  [] {
                    Bytes data = kDts;
                    Every(data, 2, 0, [](std::uint16_t& w) { w &= 0x3FFF; });
                    return Wav(data);
                  },
                  "DTS not in 14-bit words"},
        CheckCase{"FrameCutShort", kDtsCd, [] { return Wav(Bytes(kDts).erase(4 * 2048 + 600, 1000)); },
                  "the DTS stream breaks at 0:00.05"},
        CheckCase{"BytesAfterTheLastFrame", kDtsCd, [] { return Wav(kDts + Bytes("\x01\x00\x00\x00", 4)); },
                  "the DTS stream breaks at 0:00.11"},
        CheckCase{"Ac3At48k", kAc3Cd,
                  [] {
                    Bytes data = kAc3;
                    Every(data, 6144, 12, [](std::uint16_t& w) { w &= 0x3FFF; });
                    return Wav(data);
                  },
                  "AC3 at 48000 Hz"},
        CheckCase{"Ac3BurstPeriodOffBy4", kAc3Cd, [] { return Wav(Bytes(kAc3).insert(2 * 6144, 4, '\0')); },
                  "the AC3 stream breaks at 0:00.06"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrackCheckTest, TimesAreMinutesAndHundredthsRoundedDown) {
  EXPECT_EQ(TrackTime(0), "0:00.00");
  EXPECT_EQ(TrackTime(176400 * 9 + 176400 * 98 / 100), "0:09.98");
  EXPECT_EQ(TrackTime(176400ull * 3725 - 4), "62:04.99");
}

}  // namespace
}  // namespace kavrin
