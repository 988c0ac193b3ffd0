#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

using AmplifiersTest = EngineTest;

struct TwoInputCase {
  int32_t controller;  // the step's gain controller where it has one
  int32_t a, b;
  int32_t expected;
};

TEST_F(AmplifiersTest, VcaScalesBy4096ths) {
  const TwoInputCase cases[] = {{4096, 1000, 0, 1000}, {-4096, 1000, 0, -1000}, {0, 12345, 0, 0},
                                {1, -1, 0, -1},        {32767, 32767, 0, (32767 * 32767) >> 12},
                                {2048, 1000, 2048, 1000}};
  for (const TwoInputCase& c : cases) {
    ResetEngine();
    const int32_t vca = MakeBlock(Opcode::kVCA, {c.controller, 0, 30000, 30000});
    Wire(vca, 0, MakeConstant(c.a), 0);
    Wire(vca, 1, MakeConstant(c.b), 0);
    Step(vca);
    EXPECT_EQ(Out(vca, 0), c.expected) << "amplitude " << c.controller << " input " << c.a;
  }
}

TEST_F(AmplifiersTest, AnUnwiredAdderAddsItsControllersWithoutLimit) {
  const int32_t add = MakeBlock(Opcode::kADD, {0, 32767, 32767, 32767, 32767}, {1, 2, 3, 4, 35});
  Step(add);
  EXPECT_EQ(Out(add, 0), 131068);
  Wire(add, 2, MakeConstant(-5), 0);
  Step(add);
  EXPECT_EQ(Out(add, 0), 32767 * 3 - 5);
  Wire(add, 0, MakeConstant(2147483647), 0);
  Step(add);
  EXPECT_EQ(Out(add, 0), static_cast<int32_t>(2147483647LL + 32767 * 2 - 5 - 4294967296LL));
}

TEST_F(AmplifiersTest, MulIsAQ15Product) {
  const TwoInputCase cases[] = {{0, 16384, 16384, 8192}, {0, 32767, 32767, 32766}, {0, -32768, -32768, 32768},
                                {0, -1, 1, -1}};
  for (const TwoInputCase& c : cases) {
    ResetEngine();
    const int32_t mul = MakeBlock(Opcode::kMUL, {0, c.a, c.b}, {1, 2, 35, 35, 35});
    Step(mul);
    EXPECT_EQ(Out(mul, 0), c.expected) << c.a << " x " << c.b;
  }
}

TEST_F(AmplifiersTest, ClpAmplifiesThenClampsToAThird) {
  const TwoInputCase cases[] = {
      {1024, 1000, 0, 1000},        {1024, 32767, 0, 10922},       {1024, -32767, 0, -10923},
      {32767, 32767, 0, 10922},     {0, 32767, 0, 0},              {2048, 1000, 0, 2000},
      // Products beyond 64 bits after the x16 must still clamp the right way.
      {2147483647, 2147483647, 0, 10922}, {-2147483647 - 1, 2147483647, 0, -10923},
      {-2147483647 - 1, -2147483647 - 1, 0, 10922}, {65536, 65536, 0, 10922},
  };
  for (const TwoInputCase& c : cases) {
    ResetEngine();
    const int32_t clp = MakeBlock(Opcode::kCLP, {0, 0, c.controller}, {35, 2, 3, 35, 35});
    Wire(clp, 0, MakeConstant(c.a), 0);
    Step(clp);
    EXPECT_EQ(Out(clp, 0), c.expected) << "amplitude " << c.controller << " input " << c.a;
  }
}

TEST_F(AmplifiersTest, ANewClpIsSilent) {
  const int32_t clp = MakeBlock(Opcode::kCLP, {0, 4096, 0, 0, 0, 0}, {35, 2, 3, 35, 35});
  Wire(clp, 0, MakeConstant(32767), 0);
  Step(clp);
  EXPECT_EQ(Out(clp, 0), 0);
}

TEST_F(AmplifiersTest, MixWeighsChannelsThenMaster) {
  struct Case {
    int32_t master, volume, input, expected;
  };
  const Case cases[] = {{32767, 26000, 10000, 1167}, {0, 26000, 10000, 0}, {-1, -1, 10000, 0},
                        {-30000, -30000, 32767, 0}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t mix = MakeBlock(Opcode::kMIX, {c.master, c.volume, c.volume, c.volume, c.volume, 26000});
    const int32_t input = MakeConstant(c.input);
    for (int32_t channel = 0; channel < 4; ++channel) Wire(mix, channel, input, 0);
    Step(mix);
    EXPECT_EQ(Out(mix, 0), c.expected) << "master " << c.master << " volume " << c.volume;
  }
}

TEST_F(AmplifiersTest, MixPassesOneFullChannelAtAQuarter) {
  const int32_t mix = MakeBlock(Opcode::kMIX, {32767, 32767, 0, 0, 0, 0});
  Wire(mix, 0, MakeConstant(32767), 0);
  Step(mix);
  EXPECT_EQ(Out(mix, 0), 8191);
}

}  // namespace
