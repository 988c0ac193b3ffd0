#include <vector>

#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

using ControlModulesTest = EngineTest;

int32_t MakeEnv(int32_t breakPoint = 0) {
  return MakeBlock(Opcode::kENV, {32767, 28000, 28000, breakPoint, 0, 0}, {1, 2, 3, 4, 35});
}

TEST_F(ControlModulesTest, EnvelopeAttacksThenDecaysWhileTheGateIsHeld) {
  const int32_t gate = MakeConstant(32767);
  const int32_t env = MakeEnv();
  Wire(env, 4, gate, 0);
  std::vector<int32_t> output;
  for (int frame = 0; frame < 5000; ++frame) {
    Step(env);
    output.push_back(Out(env, 0));
  }
  EXPECT_EQ(output[0], 13);
  EXPECT_EQ(output[1], 27);
  EXPECT_EQ(output[2], 41);
  EXPECT_EQ(output[2269], 31999);
  EXPECT_LT(output[2268], 31999);
  EXPECT_LT(output[2270], 31999);
  EXPECT_GT(output[4538], 0);
  for (int frame = 4539; frame < 5000; ++frame) ASSERT_EQ(output[frame], 0) << frame;
}

TEST_F(ControlModulesTest, EnvelopeHoldsAtTheBreakPointWhenTheSecondDecayIsZero) {
  const int32_t gate = MakeConstant(32767);
  const int32_t env = MakeEnv(16000);
  Wire(env, 4, gate, 0);
  for (int frame = 0; frame < 20000; ++frame) Step(env);
  EXPECT_EQ(Out(env, 0), 15995);
  EXPECT_LE(Out(env, 2), 16000 * 512);
  EXPECT_GT(Out(env, 2), 16000 * 512 - 7219);
}

TEST_F(ControlModulesTest, AGateAbove32767RetriggersEveryFrame) {
  const int32_t gate = MakeConstant(40000);
  const int32_t env = MakeEnv();
  Wire(env, 4, gate, 0);
  for (int frame = 0; frame < 100; ++frame) {
    Step(env);
    ASSERT_EQ(Out(env, 0), 13);
  }
}

// Counts the attack restarts of an ENV (level 0 + one attack step) for a gate sequence.
int32_t CountTriggers(const std::vector<int32_t>& gateValues) {
  ResetEngine();
  const int32_t gate = MakeConstant(0);
  const int32_t env = MakeEnv();
  Wire(env, 4, gate, 0);
  int32_t triggers = 0;
  for (int32_t value : gateValues) {
    SetConstant(gate, value);
    Step(env);
    if (Out(env, 2) == 7219) ++triggers;
  }
  return triggers;
}

TEST_F(ControlModulesTest, TheGateLatchNeedsTheGateToFallToZeroOrBelow) {
  EXPECT_EQ(CountTriggers({32767, 32767, 0, 32767}), 2);
  EXPECT_EQ(CountTriggers({32767, 16000, 32767}), 1);
  EXPECT_EQ(CountTriggers({1, -5, 1, 0, 1}), 3);
  EXPECT_EQ(CountTriggers({0, 0, 0}), 0);
}

TEST_F(ControlModulesTest, EnvelopeScalesByAmplitudeAndFreezesOnAZeroRate) {
  const int32_t gate = MakeConstant(32767);
  const int32_t env = MakeBlock(Opcode::kENV, {-16384, 2184, 28000, 0, 0, 0}, {1, 2, 3, 4, 35});
  Wire(env, 4, gate, 0);
  SetWord(env, BlockWord::kOutput + 2, 5000 * 512);
  SetWord(env, BlockWord::kOutput + 3, 32767);  // already latched: no trigger
  SetWord(env, BlockWord::kOutput + 1, 32767);  // attacking at rate 0
  for (int frame = 0; frame < 10; ++frame) Step(env);
  EXPECT_EQ(Out(env, 2), 5000 * 512);
  EXPECT_EQ(Out(env, 0), -2500);
}

TEST_F(ControlModulesTest, SampleAndHoldTakesTheInputOnlyOnTheRisingEdge) {
  const int32_t input = MakeConstant(111);
  const int32_t gate = MakeConstant(0);
  const int32_t sh = MakeBlock(Opcode::kSampleHold);
  Wire(sh, 0, input, 0);
  Wire(sh, 4, gate, 0);
  struct Frame {
    int32_t input, gate, expected;
  };
  const Frame frames[] = {{111, 0, 0}, {222, 5, 222}, {333, 5, 222}, {444, 0, 222}, {555, 9, 555}};
  for (const Frame& f : frames) {
    SetConstant(input, f.input);
    SetConstant(gate, f.gate);
    Step(sh);
    EXPECT_EQ(Out(sh, 0), f.expected) << "input " << f.input;
  }
}

TEST_F(ControlModulesTest, GlideFollowsAt1Over128PerFrameAtFullSpeed) {
  const int32_t input = MakeConstant(32767);
  const int32_t gli = MakeBlock(Opcode::kGLI, {0, 0, 32767}, {35, 2, 35, 35, 35});
  Wire(gli, 0, input, 0);
  std::vector<int32_t> output;
  for (int frame = 0; frame < 2000; ++frame) {
    Step(gli);
    output.push_back(Out(gli, 0));
  }
  EXPECT_EQ(output[0], 255);
  EXPECT_EQ(output[1], 509);
  EXPECT_EQ(output[127], 20759);
  EXPECT_LT(output[1398], 32767);
  EXPECT_EQ(output[1399], 32767);
}

TEST_F(ControlModulesTest, GlideAtZeroSpeedNeverMoves) {
  const int32_t gli = MakeBlock(Opcode::kGLI, {0, 0, 2184}, {35, 2, 35, 35, 35});
  SetWord(gli, BlockWord::kOutput, 700);
  SetWord(gli, BlockWord::kState, 700 << 16);
  Wire(gli, 0, MakeConstant(-30000), 0);
  for (int frame = 0; frame < 100; ++frame) Step(gli);
  EXPECT_EQ(Out(gli, 0), 700);
}

TEST_F(ControlModulesTest, SwitchSelectsTheSecondInputAboveZero) {
  const int32_t control = MakeConstant(0);
  const int32_t swi = MakeBlock(Opcode::kSWI, {0, 100, 200, 32767}, {1, 2, 35, 35, 35});
  const std::pair<int32_t, int32_t> cases[] = {{0, 100}, {-1, 100}, {1, 200}, {32767, 200}};
  Wire(swi, 2, control, 0);
  for (const auto& [value, expected] : cases) {
    SetConstant(control, value);
    Step(swi);
    EXPECT_EQ(Out(swi, 0), expected) << value;
  }
}

TEST_F(ControlModulesTest, AnUnwiredSwitchIgnoresItsSwitchController) {
  const int32_t swi = MakeBlock(Opcode::kSWI, {0, 100, 200, 32767}, {1, 2, 35, 35, 35});
  Step(swi);
  EXPECT_EQ(Out(swi, 0), 100);
}

}  // namespace
