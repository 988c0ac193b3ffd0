// The drum-pattern player as scripts of frames: the step and reset levels of
// each frame and the outputs that fire in it (tracks 0..3, 4 the cycle pulse).
#include <array>
#include <vector>

#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"

namespace {

using Fired = std::vector<int32_t>;
struct Frame {
  int32_t step, reset;
  Fired fired;
};
struct Script {
  const char* what;
  std::vector<std::array<int32_t, 3>> pattern;  // track, step, byte
  std::vector<Frame> frames;
  int32_t positionAfter;
};

// A step edge is a frame with the step high, then one low.
const Frame high{32767, 0, {}}, low{0, 0, {}};

const Script kScripts[] = {
    {"a held step input plays one step", {{0, 0, 1}, {0, 1, 1}}, {{5, 0, {0}}, {5, 0, {}}, {5, 0, {}}, {-1, 0, {}}, {5, 0, {0}}}, 2},
    {"a reset edge fires the cycle output and returns to step 0", {{3, 0, 1}, {3, 1, 1}},
     {{32767, 0, {3}}, low, {32767, 0, {3}}, low, {0, 32767, {4}}, {0, 32767, {}}, {32767, 0, {3}}, low}, 1},
    {"step and reset in the same frame", {{0, 0, 1}},
     {{32767, 0, {0}}, low, {32767, 32767, {4}}, {32767, 32767, {0}}, low, {32767, 1, {4}}, {0, 1, {}}}, 0},
    {"only bytes from 1 to 127 sound", {{2, 0, 1}, {2, 1, 127}, {2, 2, 200}, {2, 3, 128}},
     {{1, 0, {2}}, low, {1, 0, {2}}, low, {1, 0, {}}, low, {1, 0, {}}, low, {1, 0, {}}}, 5},
};

class DrumPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngine();
    step = MakeConstant(0), reset = MakeConstant(0), drm = MakeBlock(Opcode::kDRM);
    Wire(drm, 3, reset, 0), Wire(drm, 4, step, 0);
  }
  Fired Run(const Frame& f) {
    SetConstant(step, f.step), SetConstant(reset, f.reset), Step(drm);
    Fired fired;
    for (int32_t o = 0; o < 5; ++o)
      if (Out(drm, o) == 32767) fired.push_back(o);
    return fired;
  }
  Fired StepEdge() {
    const Fired fired = Run(high);
    EXPECT_EQ(Run(low), Fired{});
    return fired;
  }

  int32_t step = -1, reset = -1, drm = -1;
};

TEST_F(DrumPlayerTest, Scripts) {
  for (const Script& script : kScripts) {
    SetUp();
    for (const auto& [track, s, value] : script.pattern) SetDrumByte(DrumByteOffset(0, 0, track, s), value);
    for (size_t i = 0; i < script.frames.size(); ++i) EXPECT_EQ(Run(script.frames[i]), script.frames[i].fired) << script.what << ", frame " << i;
    EXPECT_EQ(State(drm, 1), script.positionAfter) << script.what;
  }
}

// Every pass after the first starts with the cycle pulse.
TEST_F(DrumPlayerTest, PlaysThePatternAndMarksEveryPassAfterTheFirst) {
  for (int32_t s = 0; s < 64; s += 4) SetDrumByte(DrumByteOffset(0, 0, 0, s), 1);
  SetDrumByte(DrumByteOffset(0, 0, 1, 2), 1);
  std::vector<Fired> fired;
  for (int edge = 0; edge < 65; ++edge) fired.push_back(StepEdge());
  const std::pair<int32_t, Fired> expected[] = {{0, {0}}, {1, {}}, {2, {1}}, {4, {0}}, {63, {}}, {64, {0, 4}}};
  for (const auto& [edge, outputs] : expected) EXPECT_EQ(fired[edge], outputs) << "edge " << edge;
}

// Positions outside 0..63, left by a block's former type, wrap to step 0 with
// the cycle pulse before any byte is read; a stray buffer number stays inside
// the pattern.
TEST_F(DrumPlayerTest, HostileWordsStayInsideThePattern) {
  SetDrumByte(DrumByteOffset(0, 0, 1, 0), 1);
  for (int32_t position : {64, 65, 1000, -1, -64, -2147483647 - 1}) {
    SetWord(drm, BlockWord::kState + 1, position);
    EXPECT_EQ(StepEdge(), (Fired{1, 4})) << position;
    EXPECT_EQ(State(drm, 1), 1) << position;
  }
  SetWord(drm, BlockWord::kBufferNumber, 5);
  SetWord(drm, BlockWord::kState + 1, 0);
  EXPECT_EQ(StepEdge(), Fired{1});
}

TEST_F(DrumPlayerTest, PatternTypesWithoutStepKeepTheirOutputsAtZero) {
  for (int32_t opcode : {18, 19}) {
    const int32_t block = MakeBlock(opcode);
    Wire(block, 4, step, 0);
    for (int i = 0; i < 4; ++i) {
      SetConstant(step, i % 2 ? 0 : 32767), Render(1);
      for (int32_t o = 0; o < 5; ++o) ASSERT_EQ(Out(block, o), 0);
    }
  }
}

}  // namespace
