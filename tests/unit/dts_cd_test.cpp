#include <gtest/gtest.h>

#include <random>

#include "backends/dts_encoder/dts_cd.hpp"

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

}  // namespace
}  // namespace kavrin
