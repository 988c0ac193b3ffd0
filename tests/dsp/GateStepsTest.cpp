// Steps driven by gate edges: the sequencer, the counter, sample and hold and
// the envelope's trigger latch. A gate rises when its input goes above zero
// after a frame at zero or below.
#include <vector>

#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

using Values = std::vector<int32_t>;

class GateStepsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    step = MakeConstant(0);
    restart = MakeConstant(0);
  }

  // A block with the restart on input 3 and the step on input 4.
  int32_t MakeGated(int32_t opcode, std::initializer_list<int32_t> controllers = {}) {
    const int32_t block = MakeBlock(opcode, controllers);
    Wire(block, 3, restart, 0);
    Wire(block, 4, step, 0);
    return block;
  }
  int32_t MakeSeq(int32_t length) {
    const int32_t seq = MakeGated(Opcode::kSEQ, {length});
    for (int32_t i = 0; i < 16; ++i) SetWord(seq, BlockWord::kStep + i, 100 + i);
    return seq;
  }

  void Frame(int32_t block, int32_t stepLevel) {
    SetConstant(step, stepLevel);
    Step(block);
  }

  // Output `output` in the frame of each trigger (step high for a frame, then
  // low for one), and the triggers where Res-Out (output 4) fired.
  std::pair<Values, Values> RunTriggers(int32_t block, int count, int32_t output = 0) {
    Values outputs, resets;
    for (int i = 0; i < count; ++i) {
      Frame(block, 32767);
      outputs.push_back(Out(block, output));
      if (Out(block, 4) != 0) resets.push_back(i);
      Frame(block, 0);
      EXPECT_EQ(Out(block, 4), 0) << "Res-Out lasts one frame";
    }
    return {outputs, resets};
  }

  int32_t step = -1, restart = -1;
};

TEST_F(GateStepsTest, TheSequencerLengthSetsTheStepsPlayed) {
  struct Case {
    int32_t length;
    Values outputs, resets;
  };
  const Case cases[] = {
      {6144, {101, 102, 103, 100, 101, 102}, {3}},
      {0, {100, 100, 100}, {0, 1, 2}},
      {2047, {100, 100}, {0, 1}},
      {-32768, {100, 100}, {0, 1}},
      {32767, {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 100, 101}, {15}},
      {2147483647, {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 100, 101}, {15}},
  };
  for (const Case& c : cases) {
    SetUp();
    const int32_t seq = MakeSeq(c.length);
    const auto [outputs, resets] = RunTriggers(seq, static_cast<int>(c.outputs.size()));
    EXPECT_EQ(outputs, c.outputs) << c.length;
    EXPECT_EQ(resets, c.resets) << c.length;
  }
}

TEST_F(GateStepsTest, SequencerEditsAndRestart) {
  const int32_t seq = MakeSeq(32767);
  Step(seq);
  EXPECT_EQ(Out(seq, 0), 100);  // before the first trigger
  RunTriggers(seq, 12);
  SetWord(seq, 0, 4096);  // shortened below the position: wraps at the next trigger
  EXPECT_EQ(RunTriggers(seq, 2), std::make_pair(Values{100, 101}, Values{0}));
  Frame(seq, 32767);
  EXPECT_EQ(Word(seq, 5), 32767);  // the latch lives in controller 5
  Frame(seq, 32767);                // held high: no second advance
  EXPECT_EQ(Out(seq, 0), 102);
  SetWord(seq, BlockWord::kStep + 2, -32768);  // the current step, edited, is heard at once
  Frame(seq, 0);
  EXPECT_EQ(Out(seq, 0), -32768);
  EXPECT_EQ(Word(seq, 5), 0);
  SetConstant(restart, 32767);  // restart held: step 0 and Res-Out, whatever the step does
  for (int32_t level : {32767, 0, 32767}) {
    Frame(seq, level);
    EXPECT_EQ(Out(seq, 0), 100);
    EXPECT_EQ(Out(seq, 4), 32767);
  }
}

// Positions outside 0..15, left by a block's former type, read step 0 and
// wrap at the next trigger.
TEST_F(GateStepsTest, AHostileSequencerPositionReadsStepZeroThenWraps) {
  for (int32_t position : {16, 1000, -1, -2147483647 - 1, 2147483647}) {
    SetUp();
    const int32_t seq = MakeSeq(32767);
    SetWord(seq, BlockWord::kState, position);
    Frame(seq, 0);
    EXPECT_EQ(Out(seq, 0), 100) << position;
    Frame(seq, 32767);
    EXPECT_EQ(State(seq, 0), 0) << position;
    EXPECT_EQ(Out(seq, 4), 32767) << position;
  }
}

TEST_F(GateStepsTest, TheCounterCountsInBinaryUntilReset) {
  const int32_t cnt = MakeGated(Opcode::kCNT);
  for (int32_t count = 1; count <= 64; ++count) {
    Frame(cnt, 32767);
    Frame(cnt, 0);
    for (int32_t bit = 0; bit < 5; ++bit)
      ASSERT_EQ(Out(cnt, bit), ((count % 32) >> bit) & 1 ? 32767 : 0) << count << " triggers, bit " << bit;
  }
  Frame(cnt, 32767);
  SetConstant(restart, 1);
  for (int32_t level : {0, 32767, 0, 32767}) {
    Frame(cnt, level);
    for (int32_t bit = 0; bit < 5; ++bit) ASSERT_EQ(Out(cnt, bit), 0);
  }
}

TEST_F(GateStepsTest, SampleAndHoldTakesTheInputOnTheRisingEdge) {
  const int32_t input = MakeConstant(0);
  const int32_t sh = MakeGated(Opcode::kSampleHold);
  Wire(sh, 0, input, 0);
  const int32_t frames[][3] = {{111, 0, 0}, {222, 5, 222}, {333, 5, 222}, {444, 0, 222}, {555, 9, 555}};
  for (const auto& [value, gate, expected] : frames) {
    SetConstant(input, value);
    Frame(sh, gate);
    EXPECT_EQ(Out(sh, 0), expected) << "input " << value;
  }
}

// The envelope restarts its attack (level 0 + one attack step: 7219) only
// after the gate fell to zero or below.
TEST_F(GateStepsTest, TheEnvelopeRetriggersOnlyAfterTheGateFell) {
  const std::pair<Values, int32_t> cases[] = {
      {{32767, 32767, 0, 32767}, 2}, {{32767, 16000, 32767}, 1}, {{1, -5, 1, 0, 1}, 3}, {{0, 0, 0}, 0}};
  for (const auto& [gates, expected] : cases) {
    SetUp();
    const int32_t env = MakeBlock(Opcode::kENV, {32767, 28000, 28000, 0, 0, 0}, {1, 2, 3, 4, 35});
    Wire(env, 4, step, 0);
    int32_t triggers = 0;
    for (int32_t gate : gates) {
      Frame(env, gate);
      triggers += Out(env, 2) == 7219;
    }
    EXPECT_EQ(triggers, expected);
  }
}

}  // namespace
