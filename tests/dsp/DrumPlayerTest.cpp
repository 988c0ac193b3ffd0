#include <vector>

#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"

namespace {

using Fired = std::vector<int32_t>;

class DrumPlayerTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    step = MakeConstant(0);
    reset = MakeConstant(0);
    drm = MakeBlock(Opcode::kDRM);
    Wire(drm, 3, reset, 0);
    Wire(drm, 4, step, 0);
  }

  void SetPattern(int32_t track, int32_t stepIndex, int32_t value) {
    SetDrumByte(DrumByteOffset(0, 0, track, stepIndex), value);
  }

  std::vector<int32_t> FiredOutputs() const {
    std::vector<int32_t> fired;
    for (int32_t o = 0; o < 5; ++o)
      if (Out(drm, o) == 32767) fired.push_back(o);
    return fired;
  }

  // Drives one frame with the given input levels and returns the outputs that fired.
  std::vector<int32_t> Frame(int32_t stepLevel, int32_t resetLevel = 0) {
    SetConstant(step, stepLevel);
    SetConstant(reset, resetLevel);
    Step(drm);
    return FiredOutputs();
  }

  std::vector<int32_t> StepEdge() {
    const std::vector<int32_t> fired = Frame(32767);
    EXPECT_TRUE(Frame(0).empty());
    return fired;
  }

  int32_t step = -1, reset = -1, drm = -1;
};


TEST_F(DrumPlayerTest, PlaysThePatternAndMarksEveryPassAfterTheFirst) {
  for (int32_t s = 0; s < 64; s += 4) SetPattern(0, s, 1);
  SetPattern(1, 2, 1);
  std::vector<Fired> fired;
  for (int edge = 0; edge < 65; ++edge) fired.push_back(StepEdge());
  EXPECT_EQ(fired[0], Fired{0});
  EXPECT_EQ(fired[1], Fired{});
  EXPECT_EQ(fired[2], Fired{1});
  EXPECT_EQ(fired[4], Fired{0});
  EXPECT_EQ(fired[63], Fired{});
  EXPECT_EQ(fired[64], (Fired{0, 4}));
}

TEST_F(DrumPlayerTest, OnlyBytesFrom1To127Sound) {
  const std::pair<int32_t, bool> bytes[] = {{1, true}, {127, true}, {200, false}, {128, false}, {0, false}};
  for (const auto& [value, sounds] : bytes) {
    SetPattern(2, 0, value);
    Frame(0, 1);  // reset edge: back to step 0
    Frame(0, 0);
    EXPECT_EQ(StepEdge(), sounds ? Fired{2} : Fired{}) << value;
  }
}

TEST_F(DrumPlayerTest, AHeldStepInputPlaysOneStep) {
  SetPattern(0, 0, 1);
  SetPattern(0, 1, 1);
  EXPECT_EQ(Frame(5), Fired{0});
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Frame(5), Fired{});
  EXPECT_EQ(Frame(-1), Fired{});
  EXPECT_EQ(Frame(5), Fired{0});
  EXPECT_EQ(State(drm, 1), 2);
}

TEST_F(DrumPlayerTest, AResetEdgeFiresTheCycleOutputAndReturnsToStepZero) {
  SetPattern(3, 0, 1);
  SetPattern(3, 1, 1);
  StepEdge();
  StepEdge();
  EXPECT_EQ(Frame(0, 32767), Fired{4});
  EXPECT_EQ(Frame(0, 32767), Fired{});  // an edge, not a level
  EXPECT_EQ(StepEdge(), Fired{3});
  EXPECT_EQ(State(drm, 1), 1);
}

TEST_F(DrumPlayerTest, StepAndResetInTheSameFrame) {
  SetPattern(0, 0, 1);
  StepEdge();
  EXPECT_EQ(Frame(32767, 32767), Fired{4});
  EXPECT_EQ(Frame(32767, 32767), Fired{0});  // the step still high plays step 0
  // A one-frame step pulse together with a reset edge is lost.
  Frame(0, 0);
  EXPECT_EQ(Frame(32767, 1), Fired{4});
  EXPECT_EQ(Frame(0, 1), Fired{});
  EXPECT_EQ(State(drm, 1), 0);
}

// Positions outside 0..63, left by a block's former type, wrap to step 0 with
// the cycle pulse before any byte is read.
TEST_F(DrumPlayerTest, HostilePositionsWrapBeforeReadingThePattern) {
  SetPattern(1, 0, 1);
  for (int32_t position : {64, 65, 1000, -1, -64, -2147483647 - 1}) {
    SetWord(drm, BlockWord::kState + 1, position);
    EXPECT_EQ(StepEdge(), (Fired{1, 4})) << position;
    EXPECT_EQ(State(drm, 1), 1) << position;
  }
}

TEST_F(DrumPlayerTest, AStrayBufferNumberStaysInsideThePattern) {
  SetPattern(1, 0, 1);
  SetWord(drm, BlockWord::kBufferNumber, 5);
  SetDrumByte(DrumByteOffset(0, 0, 0, 0), 1);
  Fired fired = StepEdge();
  EXPECT_FALSE(fired.empty());
  for (int32_t o : fired) EXPECT_LE(o, 3);
}

TEST_F(DrumPlayerTest, PatternTypesWithoutStepKeepTheirOutputsAtZero) {
  for (int32_t opcode : {18, 19}) {
    const int32_t block = MakeBlock(opcode);
    Wire(block, 4, step, 0);
    for (int i = 0; i < 4; ++i) {
      SetConstant(step, i % 2 ? 0 : 32767);
      Render(1);
      for (int32_t o = 0; o < 5; ++o) ASSERT_EQ(Out(block, o), 0);
    }
  }
}

}  // namespace
