#include <gtest/gtest.h>

#include <cmath>

#include "dsp/Tables.h"

namespace {

struct Anchor {
  int32_t index;
  int32_t value;
};

TEST(ExpTable, HitsEveryAnchor) {
  const Anchor anchors[] = {{0, 0},        {2184, 0},       {2185, 1},       {4369, 3},       {16383, 179},
                            {16384, 180},  {20000, 569},    {20437, 654},    {22000, 1074},   {26000, 3826},
                            {28000, 7219}, {30000, 13618},  {8192, 12},      {32767, 32767}};
  for (const Anchor& a : anchors) EXPECT_EQ(ExpTable(a.index), a.value) << "entry " << a.index;
}

TEST(ExpTable, NeverFallsAndDoublesPerOctave) {
  for (int32_t i = 1; i < kExpTableSize; ++i) ASSERT_GE(ExpTable(i), ExpTable(i - 1)) << i;
  // 2184.5 steps per octave: two octaves above entry 20437 are 4369 steps on.
  EXPECT_NEAR(ExpTable(20437 + 4369) + 1, 4 * (ExpTable(20437) + 1), 4);
}

TEST(Curve, ClampsToTheTable) {
  const Anchor cases[] = {{-1, 0}, {-2147483647 - 1, 0}, {32768, 32767}, {2147483647, 32767}, {26000, 3826}};
  for (const Anchor& c : cases) EXPECT_EQ(Curve(c.index), c.value) << c.index;
}

TEST(SineTable, HoldsTheOverriddenEntriesAndTheirNegatives) {
  const Anchor overrides[] = {{5108, 15412},  {16384, 32766}, {24043, 24323},
                              {26201, 19294}, {28131, 14092}, {28200, 13896}};
  for (const Anchor& o : overrides) {
    EXPECT_EQ(SineTable(o.index), o.value) << o.index;
    EXPECT_EQ(SineTable(-o.index), -o.value) << -o.index;
  }
}

TEST(SineTable, IsTheTruncatedSineElsewhere) {
  EXPECT_EQ(SineTable(0), 0);
  EXPECT_EQ(SineTable(-32768), 0);
  EXPECT_EQ(SineTable(32767), 3);
  EXPECT_EQ(SineTable(-32767), -3);
  const double pi = std::acos(-1.0);
  int32_t differing = 0;
  for (int32_t p = -32767; p <= 32767; ++p) {
    ASSERT_EQ(SineTable(-p), -SineTable(p)) << p;
    const auto exact = static_cast<int32_t>(std::trunc(32767.0 * std::sin(2.0 * pi * p / 65536.0)));
    if (SineTable(p) != exact) ++differing;
  }
  EXPECT_EQ(differing, 12);  // the six overrides and their negatives
}

}  // namespace
