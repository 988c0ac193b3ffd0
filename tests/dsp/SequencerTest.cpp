#include <vector>

#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"

namespace {

class SequencerTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    step = MakeConstant(0);
    restart = MakeConstant(0);
  }

  int32_t MakeSeq(int32_t length) {
    const int32_t seq = MakeBlock(Opcode::kSEQ, {length});
    for (int32_t i = 0; i < 16; ++i) SetWord(seq, BlockWord::kStep + i, 100 + i);
    Wire(seq, 3, restart, 0);
    Wire(seq, 4, step, 0);
    return seq;
  }

  // One trigger: a frame with the step input high, then one low.
  void Trigger(int32_t block) {
    SetConstant(step, 32767);
    Step(block);
  }
  void Release(int32_t block) {
    SetConstant(step, 0);
    Step(block);
  }

  struct SeqRun {
    std::vector<int32_t> outputs, resets;
  };

  // Outputs and Res-Out in the frame of each of `count` triggers.
  SeqRun RunTriggers(int32_t seq, int count) {
    SeqRun run;
    for (int i = 0; i < count; ++i) {
      Trigger(seq);
      run.outputs.push_back(Out(seq, 0));
      run.resets.push_back(Out(seq, 4));
      Release(seq);
      EXPECT_EQ(Out(seq, 4), 0) << "Res-Out lasts one frame";
    }
    return run;
  }

  int32_t step = -1, restart = -1;
};

TEST_F(SequencerTest, ALengthOf6144PlaysFourSteps) {
  const int32_t seq = MakeSeq(6144);
  Step(seq);
  EXPECT_EQ(Out(seq, 0), 100);  // before the first trigger
  const SeqRun run = RunTriggers(seq, 6);
  EXPECT_EQ(run.outputs, (std::vector<int32_t>{101, 102, 103, 100, 101, 102}));
  EXPECT_EQ(run.resets, (std::vector<int32_t>{0, 0, 0, 32767, 0, 0}));
}

TEST_F(SequencerTest, ShortOrNegativeLengthsStayOnStepZero) {
  for (int32_t length : {0, 2047, -1, -32768}) {
    ResetEngine();
    SetUp();
    const int32_t seq = MakeSeq(length);
    const SeqRun run = RunTriggers(seq, 3);
    EXPECT_EQ(run.outputs, (std::vector<int32_t>{100, 100, 100})) << length;
    EXPECT_EQ(run.resets, (std::vector<int32_t>{32767, 32767, 32767})) << length;
  }
}

TEST_F(SequencerTest, FullLengthPlaysAllSixteenSteps) {
  const int32_t seq = MakeSeq(32767);
  const SeqRun run = RunTriggers(seq, 17);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(run.outputs[i], 101 + i);
  EXPECT_EQ(run.outputs[15], 100);
  EXPECT_EQ(run.resets[15], 32767);
  EXPECT_EQ(run.outputs[16], 101);
}

TEST_F(SequencerTest, ShorteningBelowThePositionWrapsAtTheNextTrigger) {
  const int32_t seq = MakeSeq(32767);
  RunTriggers(seq, 12);
  EXPECT_EQ(State(seq, 0), 12);
  SetWord(seq, 0, 4096);
  const SeqRun run = RunTriggers(seq, 2);
  EXPECT_EQ(run.outputs, (std::vector<int32_t>{100, 101}));
  EXPECT_EQ(run.resets, (std::vector<int32_t>{32767, 0}));
}

TEST_F(SequencerTest, RestartHeldKeepsStepZeroAndResOut) {
  const int32_t seq = MakeSeq(32767);
  SetConstant(restart, 32767);
  for (int i = 0; i < 6; ++i) {
    i % 2 ? Release(seq) : Trigger(seq);
    EXPECT_EQ(Out(seq, 0), 100);
    EXPECT_EQ(Out(seq, 4), 32767);
  }
  EXPECT_EQ(Word(seq, 5), 0);  // latch followed the last (low) step frame
}

TEST_F(SequencerTest, TheLatchLivesInControllerFive) {
  const int32_t seq = MakeSeq(32767);
  Trigger(seq);
  EXPECT_EQ(Word(seq, 5), 32767);
  Trigger(seq);  // held high: no second advance
  EXPECT_EQ(Out(seq, 0), 101);
  Release(seq);
  EXPECT_EQ(Word(seq, 5), 0);
}

TEST_F(SequencerTest, EditingTheCurrentStepIsHeardAtOnce) {
  const int32_t seq = MakeSeq(32767);
  Trigger(seq);
  SetWord(seq, BlockWord::kStep + 1, -32768);
  Release(seq);
  EXPECT_EQ(Out(seq, 0), -32768);
}

// Positions outside 0..15, left by a block's former type, never index outside
// the steps: they read step 0 and wrap at the next trigger.
TEST_F(SequencerTest, AHostilePositionReadsStepZeroThenWraps) {
  for (int32_t position : {16, 1000, -1, -2147483647 - 1, 2147483647}) {
    ResetEngine();
    SetUp();
    const int32_t seq = MakeSeq(32767);
    SetWord(seq, BlockWord::kState, position);
    Release(seq);
    EXPECT_EQ(Out(seq, 0), 100) << position;
    Trigger(seq);
    EXPECT_EQ(State(seq, 0), 0) << position;
    EXPECT_EQ(Out(seq, 4), 32767) << position;
  }
}

TEST_F(SequencerTest, ALengthBeyondTheControllerRangeStopsAtStep15) {
  const int32_t seq = MakeSeq(2147483647);
  const SeqRun run = RunTriggers(seq, 17);
  EXPECT_EQ(run.outputs[14], 115);
  EXPECT_EQ(run.outputs[15], 100);
  EXPECT_EQ(run.resets[15], 32767);
}

class CounterTest : public SequencerTest {
 protected:
  int32_t MakeCnt() {
    const int32_t cnt = MakeBlock(Opcode::kCNT);
    Wire(cnt, 3, restart, 0);
    Wire(cnt, 4, step, 0);
    return cnt;
  }
  static std::vector<int32_t> Bits(int32_t cnt) {
    std::vector<int32_t> bits;
    for (int32_t o = 0; o < 5; ++o) bits.push_back(Out(cnt, o) ? 1 : 0);
    return bits;
  }
};

TEST_F(CounterTest, CountsInBinaryAndWrapsAt32) {
  const int32_t cnt = MakeCnt();
  for (int32_t count = 1; count <= 64; ++count) {
    Trigger(cnt);
    Release(cnt);
    std::vector<int32_t> expected;
    for (int32_t bit = 0; bit < 5; ++bit) expected.push_back(((count % 32) >> bit) & 1);
    ASSERT_EQ(Bits(cnt), expected) << "after " << count << " triggers";
  }
  for (int32_t o = 0; o < 5; ++o) EXPECT_TRUE(Out(cnt, o) == 0 || Out(cnt, o) == 32767);
}

TEST_F(CounterTest, ResetHeldKeepsEveryOutputOff) {
  const int32_t cnt = MakeCnt();
  SetConstant(restart, 1);
  for (int i = 0; i < 5; ++i) {
    Trigger(cnt);
    EXPECT_EQ(Bits(cnt), (std::vector<int32_t>{0, 0, 0, 0, 0}));
    Release(cnt);
  }
}

}  // namespace
