#include <gtest/gtest.h>

#include "core/dpi_scale.hpp"

namespace kavrin {
namespace {

struct ScaleCase {
  int value;
  int dpi;
  int expected;
};

TEST(ScaleToDpi, RoundsAsMulDivDoes) {
  const ScaleCase cases[] = {
      // 96 dpi leaves every position as laid out.
      {0, 96, 0},
      {224, 96, 224},
      {-11, 96, -11},
      // 150 %: odd lengths land on halves, which round away from zero.
      {21, 144, 32},
      {-11, 144, -17},
      {13, 144, 20},
      {409, 144, 614},
      // 125 % and 175 %.
      {17, 120, 21},
      {25, 120, 31},
      {73, 168, 128},
      {-11, 168, -19},
      // 200 % and a screen below 96.
      {289, 192, 578},
      {25, 72, 19},
      // No usable dpi reported: the layout as drawn.
      {424, 0, 424},
      {424, -5, 424},
  };
  for (const ScaleCase& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
  }
}

TEST(ScaleToDpi, LargeValuesDoNotOverflow) { EXPECT_EQ(ScaleToDpi(30000000, 480), 150000000); }

}  // namespace
}  // namespace kavrin
