#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "backends/dts_encoder/dts_cd.hpp"
#include "backends/dts_encoder/segments.hpp"

namespace kavrin {
namespace {

// A core frame as the encoder writes it at 1234.8 kbit/s, the body random.
std::vector<std::uint8_t> CoreFrame(std::mt19937& random, unsigned frameBytes = 1792) {
  std::vector<std::uint8_t> frame(frameBytes);
  for (auto& byte : frame) byte = static_cast<std::uint8_t>(random());
  const std::uint64_t header = 0x7FFE8001ull << 32 | 0xFCull << 24 | 15ull << 18 | (frameBytes - 1ull) << 4;
  for (int i = 0; i < 8; ++i) frame[i] = static_cast<std::uint8_t>(header >> (56 - 8 * i));
  return frame;
}

TEST(DtsCd, FramesPackIntoTheirOwnStereoSamplesAndBack) {
  std::mt19937 random(14);
  std::vector<std::uint8_t> frames;
  for (int i = 0; i < 3; ++i) {
    const auto frame = CoreFrame(random);
    frames.insert(frames.end(), frame.begin(), frame.end());
  }
  const auto packed = PackDts14(frames);
  ASSERT_EQ(packed.size(), 3u * 2048);
  // The sync pattern a decoder looks for in a 14-bit little-endian stream.
  const std::vector<std::uint8_t> sync{0xFF, 0x1F, 0x00, 0xE8, 0xF0, 0x07};
  EXPECT_EQ(std::vector<std::uint8_t>(packed.begin(), packed.begin() + 6), sync);
  EXPECT_EQ(std::vector<std::uint8_t>(packed.begin() + 2048, packed.begin() + 2054), sync);
  EXPECT_EQ(UnpackDts14(packed), frames);
}

TEST(DtsCd, StreamsThatCannotBecomeOrComeFromADtsCdTrackAreRefused) {
  std::mt19937 random(7);
  const auto frame = CoreFrame(random);
  EXPECT_THROW(PackDts14(CoreFrame(random, 2048)), DtsCdError);
  EXPECT_THROW(PackDts14(std::span(frame).first(1000)), DtsCdError);
  EXPECT_THROW(PackDts14(std::span(frame).subspan(2, 1788)), DtsCdError);
  auto packed = PackDts14(frame);
  EXPECT_THROW(UnpackDts14(std::span(packed).first(2047)), DtsCdError);
  EXPECT_THROW(UnpackDts14(std::span(packed).first(2046)), DtsCdError);
  packed[1] ^= 0x40;
  EXPECT_THROW(UnpackDts14(packed), DtsCdError);
}

TEST(DtsCd, WavHeaderDescribesStereo16BitAt44100AndRefusesOversizedData) {
  const std::array<std::uint8_t, 44> expected{
      'R', 'I', 'F',  'F',  0x24, 0x18, 0,    0,    'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0,   0, 0,    1, 0,
      2,   0,   0x44, 0xAC, 0,    0,    0x10, 0xB1, 2,   0,   4,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0x18, 0, 0};
  EXPECT_EQ(WavHeader(3 * 2048), expected);
  EXPECT_NO_THROW(WavHeader(kMaxWavDataBytes));
  EXPECT_THROW(WavHeader(kMaxWavDataBytes + 4), DtsCdError);
  EXPECT_THROW(WavHeader(2050), DtsCdError);
}

// Whatever the length and count, the segments cover the track's frames in
// order, each from one frame before its first (none for the first), and only
// the last reads past the source.
TEST(DtsCd, SegmentsCoverTheTrackEachPrimedByTheFrameBefore) {
  for (const std::uint64_t samples : {0ull, 1ull, 511ull, 512ull, 1500ull, 132633ull, 26460000ull}) {
    for (unsigned count = 0; count <= 5; ++count) {
      const std::vector<DtsSegment> segments = PlanDtsSegments(samples, count);
      const std::string row = std::to_string(samples) + " samples, " + std::to_string(count) + " segments";
      ASSERT_FALSE(segments.empty()) << row;
      EXPECT_LE(segments.size(), std::max(count, 1u)) << row;
      std::uint64_t next = 0;
      for (const DtsSegment& segment : segments) {
        EXPECT_EQ(segment.FirstFrame, next) << row;
        EXPECT_LT(segment.FirstFrame, segment.EndFrame) << row;
        EXPECT_EQ(segment.DropsFirstFrame, next > 0) << row;
        EXPECT_EQ(segment.FromSample, next > 0 ? (next - 1) * 512 : 0) << row;
        const bool last = &segment == &segments.back();
        EXPECT_EQ(segment.ToSample.has_value(), !last) << row;
        if (!last) {
          EXPECT_EQ(*segment.ToSample, segment.EndFrame * 512) << row;
          EXPECT_LE(*segment.ToSample, samples) << row;
        }
        next = segment.EndFrame;
      }
      EXPECT_EQ(next, DtsTrackFrames(samples)) << row;
    }
  }
  EXPECT_EQ(PlanDtsSegments(132633, 4).size(), 4u);
  EXPECT_EQ(DtsTrackFrames(132633), 261u);  // 132633 samples and 512 of silence
}

TEST(DtsCd, OneSegmentPerLogicalProcessorOfAtLeastThirtySeconds) {
  struct Row {
    std::uint64_t seconds;
    unsigned processors;
    unsigned segments;
  };
  for (const Row& row : {Row{29, 8, 1}, Row{60, 2, 2}, Row{600, 2, 2}, Row{600, 64, 20}, Row{600, 0, 1}}) {
    EXPECT_EQ(DtsSegmentCount(row.seconds * 44100, row.processors), row.segments) << row.seconds << " s";
  }
}

TEST(DtsCd, PcmWavSamplesAreFoundBehindExtraChunks) {
  const auto plain = WavHeader(4000, 1);
  std::vector<std::uint8_t> file(plain.begin(), plain.end());
  std::optional<PcmWav> wav = ReadPcmWav(file, 44 + 4000);
  ASSERT_TRUE(wav);
  EXPECT_EQ(std::tie(wav->SampleRate, wav->Channels, wav->BitsPerSample, wav->DataOffset, wav->DataBytes),
            std::tuple(44100u, 1, 16, 44u, 4000u));
  // A LIST chunk of odd size before the data, and a size that was never set.
  const std::uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  file.insert(file.begin() + 36, std::begin(list), std::end(list));
  std::fill(file.end() - 4, file.end(), 0xFF);
  wav = ReadPcmWav(file, 56 + 1000);
  ASSERT_TRUE(wav);
  EXPECT_EQ(std::pair(wav->DataOffset, wav->DataBytes), std::pair(std::uint64_t{56}, std::uint64_t{1000}));
  EXPECT_FALSE(ReadPcmWav(std::span(file).first(40), 1056));
  file[20] = 3;  // floating point
  EXPECT_FALSE(ReadPcmWav(file, 1056));
}

}  // namespace
}  // namespace kavrin
