#include <map>
#include <vector>

#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"

namespace {

using DelayLineTest = EngineTest;

// A DLY or FLA on buffer `buffer` fed by a constant block; returns the
// non-zero outputs of `frames` frames after an impulse at frame 0.
struct Impulse {
  int32_t opcode;
  std::vector<int32_t> controllers;
  int32_t impulse;
  int32_t frames;
  int32_t buffer = 1;
};

std::map<int32_t, int32_t> NonZeroOutputs(const Impulse& setup) {
  ResetEngine();
  const int32_t input = MakeConstant(setup.impulse);
  const int32_t block = ReserveDSPBlock();
  for (size_t c = 0; c < setup.controllers.size(); ++c) SetWord(block, static_cast<int32_t>(c), setup.controllers[c]);
  SetWord(block, BlockWord::kInput + 1, block + 2);
  SetWord(block, BlockWord::kInput + 2, block + 3);
  SetWord(block, BlockWord::kBufferNumber, setup.buffer);
  Wire(block, 0, input, 0);
  SetOpcode(block, setup.opcode);
  std::map<int32_t, int32_t> outputs;
  for (int32_t frame = 0; frame < setup.frames; ++frame) {
    Step(block);
    if (Out(block, 0) != 0) outputs[frame] = Out(block, 0);
    SetConstant(input, 0);
  }
  return outputs;
}

TEST_F(DelayLineTest, DefaultLineEchoesEvery4097FramesAtAQuarter) {
  const auto outputs = NonZeroOutputs({Opcode::kDLY, {4096, 0, 8192, 0}, 32767, 4097 * 8 + 1});
  const std::map<int32_t, int32_t> expected = {{4097, 32754}, {8194, 8188}, {12291, 2047}, {16388, 511},
                                               {20485, 127},  {24582, 31},  {28679, 7},    {32776, 1}};
  EXPECT_EQ(outputs, expected);
}

TEST_F(DelayLineTest, FullDirectSoundAlsoPassesTheImpulse) {
  const auto outputs = NonZeroOutputs({Opcode::kDLY, {4096, 0, 8192, 32767}, 32767, 4098});
  EXPECT_EQ(outputs.at(0), 32766);
  EXPECT_EQ(outputs.at(4097), 32754);
  EXPECT_EQ(outputs.size(), 2u);
}

TEST_F(DelayLineTest, ALengthOfZeroOrLessEchoesOneFrameLater) {
  for (int32_t length : {0, -1, -32768}) {
    const auto outputs = NonZeroOutputs({Opcode::kDLY, {length, 0, 8192, 0}, 32767, 6});
    const std::map<int32_t, int32_t> expected = {{1, 32754}, {2, 8188}, {3, 2047}, {4, 511}, {5, 127}};
    EXPECT_EQ(outputs, expected) << length;
  }
}

TEST_F(DelayLineTest, FullFeedbackLetsNothingNewIn) {
  const auto outputs = NonZeroOutputs({Opcode::kDLY, {10, 0, 32767, 0}, 32767, 100});
  EXPECT_TRUE(outputs.empty());
}

TEST_F(DelayLineTest, TheOutputSumWrapsIn16Bits) {
  ResetEngine();
  const int32_t input = MakeConstant(32767);
  const int32_t dly = MakeBlock(Opcode::kDLY, {4096, 0, 0, 32767}, {35, 2, 3, 35, 35});
  Wire(dly, 0, input, 0);
  for (int32_t frame = 0; frame < 4097; ++frame) {
    Step(dly);
    ASSERT_EQ(Out(dly, 0), 32766) << frame;
  }
  Step(dly);
  EXPECT_EQ(Out(dly, 0), -4);
}

TEST_F(DelayLineTest, ShorteningBelowThePositionRestartsAtZero) {
  const int32_t dly = MakeBlock(Opcode::kDLY, {4096, 0, 8192, 0}, {35, 2, 3, 35, 35});
  SetWord(dly, BlockWord::kState, 3000);
  SetWord(dly, 0, 100);
  Step(dly);
  EXPECT_EQ(State(dly, 0), 0);
}

// A position from a block's former type, or a length only a file can hold,
// never reaches outside the buffer: the position restarts at 0 and the
// length acts as 32767.
TEST_F(DelayLineTest, HostilePositionsAndLengthsStayInsideTheBuffer) {
  struct Case {
    int32_t position, length, positionAfter;
  };
  const Case cases[] = {{-1, 4096, 1},        {32768, 4096, 1},  {2147483647, 4096, 1},
                        {32767, 2147483647, 0}, {32766, 40000, 32767}, {-2147483647 - 1, 0, 0}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t input = MakeConstant(1000);
    const int32_t dly = MakeBlock(Opcode::kDLY, {c.length, 0, 0, 0}, {35, 2, 3, 35, 35});
    SetWord(dly, BlockWord::kBufferNumber, 2);
    Wire(dly, 0, input, 0);
    SetWord(dly, BlockWord::kState, c.position);
    Step(dly);
    EXPECT_EQ(State(dly, 0), c.positionAfter) << c.position << " / " << c.length;
  }
}

TEST_F(DelayLineTest, EachBlockWritesOnlyItsOwnBuffer) {
  const auto outputs = NonZeroOutputs({Opcode::kDLY, {4096, 0, 8192, 0}, 32767, 10, 3});
  for (int32_t n = 0; n < 3; ++n)
    for (int32_t i = 0; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[n][i], 0);
  EXPECT_EQ(DelayBuffer[3][0], 32754);
}

TEST_F(DelayLineTest, FlangerTapsAtSixteenthsOfASample) {
  struct Case {
    int32_t modulation;
    std::map<int32_t, int32_t> expected;
  };
  const Case cases[] = {
      {0, {{2048, 16000}}},
      {16, {{2047, 16000}}},
      {-16, {{2049, 16000}}},
      {8, {{2047, 8000}, {2048, 8000}}},
      {-32768, {{4096, 16000}}},
      {32752, {{1, 16000}}},
      {32767, {{1, 1000}, {4096, 15000}}},
  };
  for (const Case& c : cases) {
    const auto outputs = NonZeroOutputs({Opcode::kFLA, {0, 0, c.modulation, 0}, 16000, 4200});
    EXPECT_EQ(outputs, c.expected) << "modulation " << c.modulation;
  }
}

TEST_F(DelayLineTest, FlangerDirectTapIsLinear) {
  const auto outputs = NonZeroOutputs({Opcode::kFLA, {0, 0, 0, 32767}, 16000, 4200});
  const std::map<int32_t, int32_t> expected = {{2048, 31999}};
  EXPECT_EQ(outputs, expected);
}

TEST_F(DelayLineTest, FlangerCounterWrapsAndKeepsToItsWindow) {
  const int32_t input = MakeConstant(70000);
  const int32_t fla = MakeBlock(Opcode::kFLA, {}, {35, 2, 3, 35, 35});
  SetWord(fla, BlockWord::kBufferNumber, 1);
  Wire(fla, 0, input, 0);
  SetWord(fla, BlockWord::kState, -1);
  Step(fla);
  EXPECT_EQ(State(fla, 0), 0);
  EXPECT_EQ(DelayBuffer[1][4095], static_cast<int16_t>(70000));
  for (int32_t i = 4096; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[1][i], 0);
}

TEST_F(DelayLineTest, InputsBeyond16BitsAreStoredAsTheirLowBits) {
  const int32_t input = MakeConstant(65536 + 5);
  const int32_t dly = MakeBlock(Opcode::kDLY, {0, 0, 0, 0}, {35, 2, 3, 35, 35});
  Wire(dly, 0, input, 0);
  Step(dly);
  // feedback 0: in(0) x 32767 wraps in 32 bits before the shift and the 16-bit store
  const int32_t product = static_cast<int32_t>(int64_t{65541} * 32767);
  EXPECT_EQ(DelayBuffer[0][0], static_cast<int16_t>(product >> 15));
}

}  // namespace
