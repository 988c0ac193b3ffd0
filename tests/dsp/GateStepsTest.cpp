// Steps driven by gate edges: the sequencer, the counter, sample and hold,
// the envelope's trigger latch and the drum-pattern player. A gate rises when
// its input goes above zero after a frame at zero or below.
#include <array>

#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

using Values = std::vector<int32_t>;
using Fired = std::vector<int32_t>;
constexpr int32_t kMin = -2147483647 - 1, kMax = 2147483647;

class GateStepsTest : public EngineTest {
 protected:
  // A block with the restart on input 3 and the step on input 4; a SEQ's steps hold 100..115.
  int32_t MakeGated(int32_t opcode, std::initializer_list<int32_t> controllers = {}) {
    ResetEngine();
    step = MakeConstant(0), restart = MakeConstant(0);
    const int32_t block = MakeBlock(opcode, controllers);
    Wire(block, 3, restart, 0), Wire(block, 4, step, 0);
    for (int32_t i = 0; i < 16 && opcode == Opcode::kSEQ; ++i) SetWord(block, BlockWord::kStep + i, 100 + i);
    return block;
  }
  void Frame(int32_t block, int32_t stepLevel) { SetConstant(step, stepLevel), Step(block); }

  // Output 0 in the frame of each trigger (step high for a frame, then low
  // for one), and the triggers where Res-Out (output 4) fired.
  std::pair<Values, Values> RunTriggers(int32_t block, int count) {
    Values outputs, resets;
    for (int i = 0; i < count; ++i) {
      Frame(block, 32767);
      outputs.push_back(Out(block, 0));
      if (Out(block, 4) != 0) resets.push_back(i);
      Frame(block, 0);
      EXPECT_EQ(Out(block, 4), 0) << "Res-Out lasts one frame";
    }
    return {outputs, resets};
  }

  // The outputs of a DRM frame that fire: tracks 0..3, 4 the cycle pulse.
  Fired Drum(int32_t drm, int32_t stepLevel, int32_t resetLevel) {
    SetConstant(restart, resetLevel), Frame(drm, stepLevel);
    Fired fired;
    for (int32_t o = 0; o < 5; ++o)
      if (Out(drm, o) == 32767) fired.push_back(o);
    return fired;
  }

  int32_t step = -1, restart = -1;
};

// Length >> 11 is the last step played, confined to 0..15: each trigger moves
// on one step and wraps to step 0 with Res-Out after the last.
TEST_F(GateStepsTest, TheSequencerLengthSetsTheStepsPlayed) {
  const std::pair<int32_t, int32_t> cases[] = {{6144, 4}, {0, 1}, {2047, 1}, {-32768, 1}, {32767, 16}, {kMax, 16}};
  for (const auto& [length, steps] : cases) {
    Values outputs, resets;
    for (int32_t i = 1; i <= steps + 2; ++i) outputs.push_back(100 + i % steps);
    for (int32_t i = 1; i <= steps + 2; ++i)
      if (i % steps == 0) resets.push_back(i - 1);
    EXPECT_EQ(RunTriggers(MakeGated(Opcode::kSEQ, {length}), steps + 2), std::make_pair(outputs, resets)) << length;
  }
}

TEST_F(GateStepsTest, SequencerEditsAndRestart) {
  const int32_t seq = MakeGated(Opcode::kSEQ, {32767});
  Step(seq);
  EXPECT_EQ(Out(seq, 0), 100);  // before the first trigger
  RunTriggers(seq, 12);
  SetWord(seq, 0, 4096);  // shortened below the position: wraps at the next trigger
  EXPECT_EQ(RunTriggers(seq, 2), std::make_pair(Values{100, 101}, Values{0}));
  Frame(seq, 32767);
  EXPECT_EQ(Word(seq, 5), 32767);  // the latch lives in controller 5
  Frame(seq, 32767);               // held high: no second advance
  EXPECT_EQ(Out(seq, 0), 102);
  SetWord(seq, BlockWord::kStep + 2, -32768);  // the current step, edited, is heard at once
  Frame(seq, 0);
  EXPECT_EQ(std::make_pair(Out(seq, 0), Word(seq, 5)), std::make_pair(-32768, 0));
  SetConstant(restart, 32767);  // restart held: step 0 and Res-Out, whatever the step does
  for (int32_t level : {32767, 0, 32767}) {
    Frame(seq, level);
    EXPECT_EQ(std::make_pair(Out(seq, 0), Out(seq, 4)), std::make_pair(100, 32767));
  }
}

// Positions outside 0..15, left by a block's former type, read step 0 and
// wrap at the next trigger.
TEST_F(GateStepsTest, AHostileSequencerPositionReadsStepZeroThenWraps) {
  for (int32_t position : {16, 1000, -1, kMin, kMax}) {
    const int32_t seq = MakeGated(Opcode::kSEQ, {32767});
    SetWord(seq, BlockWord::kState, position);
    Frame(seq, 0);
    EXPECT_EQ(Out(seq, 0), 100) << position;
    Frame(seq, 32767);
    EXPECT_EQ(std::make_pair(State(seq, 0), Out(seq, 4)), std::make_pair(0, 32767)) << position;
  }
}

TEST_F(GateStepsTest, TheCounterCountsInBinaryUntilReset) {
  const int32_t cnt = MakeGated(Opcode::kCNT);
  auto Bits = [&] { return Values{Out(cnt, 0), Out(cnt, 1), Out(cnt, 2), Out(cnt, 3), Out(cnt, 4)}; };
  for (int32_t count = 1; count <= 64; ++count) {
    Frame(cnt, 32767), Frame(cnt, 0);
    Values expected;
    for (int32_t bit = 0; bit < 5; ++bit) expected.push_back(((count % 32) >> bit) & 1 ? 32767 : 0);
    ASSERT_EQ(Bits(), expected) << count << " triggers";
  }
  Frame(cnt, 32767);
  SetConstant(restart, 1);
  for (int32_t level : {0, 32767, 0, 32767}) {
    Frame(cnt, level);
    ASSERT_EQ(Bits(), Values(5, 0));
  }
}

TEST_F(GateStepsTest, SampleAndHoldTakesTheInputOnTheRisingEdge) {
  const int32_t sh = MakeGated(Opcode::kSampleHold), input = MakeConstant(0);
  Wire(sh, 0, input, 0);
  const int32_t frames[][3] = {{111, 0, 0}, {222, 5, 222}, {333, 5, 222}, {444, 0, 222}, {555, 9, 555}};
  for (const auto& [value, gate, expected] : frames) {
    SetConstant(input, value), Frame(sh, gate);
    EXPECT_EQ(Out(sh, 0), expected) << "input " << value;
  }
}

// The envelope restarts its attack (level 0 + one attack step: 7219) only
// after the gate fell to zero or below.
TEST_F(GateStepsTest, TheEnvelopeRetriggersOnlyAfterTheGateFell) {
  const std::pair<Values, int32_t> cases[] = {{{32767, 32767, 0, 32767}, 2}, {{32767, 16000, 32767}, 1}, {{1, -5, 1, 0, 1}, 3}, {{0, 0, 0}, 0}};
  for (const auto& [gates, expected] : cases) {
    const int32_t env = MakeGated(Opcode::kENV, {32767, 28000, 28000, 0, 0, 0});
    for (int32_t k = 0; k < 3; ++k) SetWord(env, BlockWord::kInput + k, env + 1 + k);
    int32_t triggers = 0;
    for (int32_t gate : gates) Frame(env, gate), triggers += Out(env, 2) == 7219;
    EXPECT_EQ(triggers, expected);
  }
}

// The drum-pattern player as scripts of frames: the step and reset levels of
// each frame and the outputs that fire in it.
struct DrumFrame { int32_t step, reset; Fired fired; };
// The pattern as track, step and byte.
struct DrumScript { const char* what; std::vector<std::array<int32_t, 3>> pattern; std::vector<DrumFrame> frames; int32_t positionAfter; };
const DrumFrame low{0, 0, {}};
const DrumScript kDrumScripts[] = {
    {"a held step input plays one step", {{0, 0, 1}, {0, 1, 1}}, {{5, 0, {0}}, {5, 0, {}}, {5, 0, {}}, {-1, 0, {}}, {5, 0, {0}}}, 2},
    {"a reset edge fires the cycle output and returns to step 0", {{3, 0, 1}, {3, 1, 1}},
     {{32767, 0, {3}}, low, {32767, 0, {3}}, low, {0, 32767, {4}}, {0, 32767, {}}, {32767, 0, {3}}, low}, 1},
    {"step and reset in the same frame", {{0, 0, 1}},
     {{32767, 0, {0}}, low, {32767, 32767, {4}}, {32767, 32767, {0}}, low, {32767, 1, {4}}, {0, 1, {}}}, 0},
    {"only bytes from 1 to 127 sound", {{2, 0, 1}, {2, 1, 127}, {2, 2, 200}, {2, 3, 128}},
     {{1, 0, {2}}, low, {1, 0, {2}}, low, {1, 0, {}}, low, {1, 0, {}}, low, {1, 0, {}}}, 5},
};

TEST_F(GateStepsTest, DrumScripts) {
  for (const DrumScript& script : kDrumScripts) {
    const int32_t drm = MakeGated(Opcode::kDRM);
    for (const auto& [track, s, value] : script.pattern) SetDrumByte(DrumByteOffset(0, 0, track, s), value);
    for (size_t i = 0; i < script.frames.size(); ++i)
      EXPECT_EQ(Drum(drm, script.frames[i].step, script.frames[i].reset), script.frames[i].fired) << script.what << ", frame " << i;
    EXPECT_EQ(State(drm, 1), script.positionAfter) << script.what;
  }
}

// Positions outside 0..63, left by a block's former type, wrap to step 0 with
// the cycle pulse before any byte is read; a stray buffer number stays inside
// the pattern.
TEST_F(GateStepsTest, HostileDrumWordsStayInsideThePattern) {
  const int32_t drm = MakeGated(Opcode::kDRM);
  SetDrumByte(DrumByteOffset(0, 0, 1, 0), 1);
  for (int32_t position : {64, 65, 1000, -1, -64, kMin}) {
    SetWord(drm, BlockWord::kState + 1, position);
    EXPECT_EQ(Drum(drm, 32767, 0), (Fired{1, 4})) << position;
    Drum(drm, 0, 0);
    EXPECT_EQ(State(drm, 1), 1) << position;
  }
  SetWord(drm, BlockWord::kBufferNumber, 5);
  SetWord(drm, BlockWord::kState + 1, 0);
  EXPECT_EQ(Drum(drm, 32767, 0), Fired{1});
}

}  // namespace
