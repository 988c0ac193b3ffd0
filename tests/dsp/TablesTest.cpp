// The exponential and sine lookup tables at their anchors.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/Tables.h"

namespace {

using Values = std::vector<int32_t>;

constexpr int32_t kExpAnchors[][2] = {{0, 0},      {2184, 0},     {2185, 1},      {4369, 3},      {16383, 179}, {16384, 180}, {20000, 569},
                                      {20437, 654}, {22000, 1074}, {26000, 3826}, {28000, 7219}, {30000, 13618}, {8192, 12}, {32767, 32767}};
// Curve clamps its argument to the table.
constexpr int32_t kCurveAnchors[][2] = {{-1, 0}, {-2147483647 - 1, 0}, {32768, 32767}, {2147483647, 32767}, {26000, 3826}};
// Entries set by hand where the truncated sine is off; their negatives follow.
constexpr int32_t kSineOverrides[][2] = {{5108, 15412}, {16384, 32766}, {24043, 24323}, {26201, 19294}, {28131, 14092}, {28200, 13896}};

TEST(Tables, ExpAndCurveHitEveryAnchorNeverFallAndDoublePerOctave) {
  for (const auto& [index, value] : kExpAnchors) EXPECT_EQ(ExpTable(index), value) << "entry " << index;
  for (const auto& [index, value] : kCurveAnchors) EXPECT_EQ(Curve(index), value) << index;
  for (int32_t i = 1; i < kExpTableSize; ++i) ASSERT_GE(ExpTable(i), ExpTable(i - 1)) << i;
  // 2184.5 steps per octave: two octaves above entry 20437 are 4369 steps on.
  EXPECT_NEAR(ExpTable(20437 + 4369) + 1, 4 * (ExpTable(20437) + 1), 4);
}

TEST(Tables, SineIsTheTruncatedSineButForTheOverrides) {
  for (const auto& [index, value] : kSineOverrides) EXPECT_EQ((Values{SineTable(index), SineTable(-index)}), (Values{value, -value})) << index;
  EXPECT_EQ((Values{SineTable(0), SineTable(-32768), SineTable(32767), SineTable(-32767)}), (Values{0, 0, 3, -3}));
  const double pi = std::acos(-1.0);
  int32_t differing = 0;
  for (int32_t p = -32767; p <= 32767; ++p) {
    ASSERT_EQ(SineTable(-p), -SineTable(p)) << p;
    differing += SineTable(p) != static_cast<int32_t>(std::trunc(32767.0 * std::sin(2.0 * pi * p / 65536.0)));
  }
  EXPECT_EQ(differing, 12);  // the six overrides and their negatives
}

}  // namespace
