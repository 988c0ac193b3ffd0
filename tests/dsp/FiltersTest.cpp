#include <vector>

#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

using FiltersTest = EngineTest;

int32_t MakeVcf() { return MakeBlock(Opcode::kVCF, {22000, 0, 0, 0, 16383, 0}, {35, 35, 35, 4, 35}); }
int32_t MakeFlt(int32_t mode) {
  return MakeBlock(Opcode::kFilterFirst + mode, {22000, 0, 0, 0, 8192, 0}, {35, 35, 35, 4, 35});
}

TEST_F(FiltersTest, VcfFedFullScaleFollowsTheKnownFrames) {
  const int32_t input = MakeConstant(32767);
  const int32_t vcf = MakeVcf();
  Wire(vcf, 0, input, 0);
  const int32_t expected[3][3] = {{922, 8191, 2749}, {1626, 3563, 3022}, {1551, -1796, 1404}};
  for (const auto& frame : expected) {
    Step(vcf);
    EXPECT_EQ(Out(vcf, 0), frame[0]);
    EXPECT_EQ(Out(vcf, 1), frame[1]);
    EXPECT_EQ(Out(vcf, 2), frame[2]);
  }
  // Settled, the low-pass keeps cycling between 1023 and 1024.
  for (int i = 0; i < 20000; ++i) Step(vcf);
  for (int i = 0; i < 100; ++i) {
    Step(vcf);
    ASSERT_GE(Out(vcf, 0), 1023);
    ASSERT_LE(Out(vcf, 0), 1024);
  }
}

struct FltCase {
  int32_t mode;
  std::vector<int32_t> firstFrames;
  int32_t settled;
  std::vector<int32_t> firstStage;
};

TEST_F(FiltersTest, FltModesFedFullScaleFollowTheKnownFrames) {
  const FltCase cases[] = {
      {0, {2749, 4691, 6062, 7031}, 9359, {}},
      {1, {5441, 3163, 4117, 3717}, 3835, {}},
      {2, {1826, 2200, 2923, 3204}, 4140, {2749, 4691, 6062, 7031}},
  };
  for (const FltCase& c : cases) {
    ResetEngine();
    const int32_t input = MakeConstant(32767);
    const int32_t flt = MakeFlt(c.mode);
    Wire(flt, 0, input, 0);
    for (size_t frame = 0; frame < c.firstFrames.size(); ++frame) {
      Step(flt);
      EXPECT_EQ(Out(flt, 0), c.firstFrames[frame]) << "mode " << c.mode << " frame " << frame + 1;
      if (!c.firstStage.empty()) {
        EXPECT_EQ(State(flt, 0), c.firstStage[frame]);
      }
    }
    for (int i = 0; i < 20000; ++i) Step(flt);
    EXPECT_EQ(Out(flt, 0), c.settled) << "mode " << c.mode;
  }
}

TEST_F(FiltersTest, LowAndHighPassModesLeaveTheFirstStageAlone) {
  for (int32_t mode : {0, 1}) {
    ResetEngine();
    const int32_t flt = MakeFlt(mode);
    SetWord(flt, BlockWord::kState, 4321);
    Wire(flt, 0, MakeConstant(32767), 0);
    Step(flt);
    EXPECT_EQ(State(flt, 0), 4321);
  }
}

// The cutoff is controller 0 plus inputs 1 and 2, clamped to 0..32767.
TEST_F(FiltersTest, CutoffSumsAreClamped) {
  struct Case {
    int32_t cutoff, mod1, mod2, equivalent;
  };
  const Case cases[] = {{22000, -30000, 0, 0}, {22000, 20000, 20000, 32767}, {0, 10000, 12000, 22000},
                        {2147483647, 1, 0, 0}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t input = MakeConstant(20000);
    const int32_t a = MakeFlt(0);
    SetWord(a, 0, c.cutoff);
    Wire(a, 0, input, 0);
    Wire(a, 1, MakeConstant(c.mod1), 0);
    Wire(a, 2, MakeConstant(c.mod2), 0);
    const int32_t reference = MakeFlt(0);
    SetWord(reference, 0, c.equivalent);
    Wire(reference, 0, input, 0);
    for (int i = 0; i < 5; ++i) {
      Step(a);
      Step(reference);
      ASSERT_EQ(Out(a, 0), Out(reference, 0)) << c.cutoff << " + " << c.mod1 << " + " << c.mod2;
    }
  }
}

TEST_F(FiltersTest, AZeroCutoffFreezesTheSmoothedOutputs) {
  const int32_t vcf = MakeVcf();
  SetWord(vcf, 0, 0);
  SetWord(vcf, BlockWord::kOutput + 0, 1234);
  SetWord(vcf, BlockWord::kOutput + 2, -777);
  Wire(vcf, 0, MakeConstant(32767), 0);
  Step(vcf);
  EXPECT_EQ(Out(vcf, 0), 1234);
  EXPECT_EQ(Out(vcf, 2), -777);
  EXPECT_EQ(Out(vcf, 1), ((16383 * -777) >> 14) + 8191 - 1234 * 8);
}

TEST_F(FiltersTest, TheCutoffControllersTwoAndThreeAndInputFourChangeNothing) {
  const int32_t input = MakeConstant(32767);
  const int32_t plain = MakeVcf();
  const int32_t touched = MakeVcf();
  SetWord(touched, 2, 30000);
  SetWord(touched, 3, -30000);
  Wire(touched, 4, MakeConstant(32767), 0);
  for (int32_t vcf : {plain, touched}) Wire(vcf, 0, input, 0);
  for (int i = 0; i < 50; ++i) {
    Step(plain);
    Step(touched);
  }
  for (int32_t o = 0; o < 3; ++o) EXPECT_EQ(Out(plain, o), Out(touched, o));
}

TEST_F(FiltersTest, LargeSignalsWrapWithoutFault) {
  const int32_t vcf = MakeVcf();
  Wire(vcf, 0, MakeConstant(2147483647), 0);
  Wire(vcf, 3, MakeConstant(-2147483647 - 1), 0);
  // 536870911 x 22000 wraps to a negative product: the band-pass comes out at -1.
  const int32_t expected[2][3] = {{-1, 536870911, -1}, {7229, 536739847, 21537}};
  for (const auto& frame : expected) {
    Step(vcf);
    EXPECT_EQ(Out(vcf, 0), frame[0]);
    EXPECT_EQ(Out(vcf, 1), frame[1]);
    EXPECT_EQ(Out(vcf, 2), frame[2]);
  }
}

}  // namespace
