// What the delay steps store in their buffers; their outputs are figures in
// StepFiguresTest.
#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"

namespace {

using DelayLineTest = EngineTest;

// DLY or FLA on `buffer`, fed by a constant, inputs 1 and 2 from controllers 2 and 3.
int32_t MakeDelay(int32_t opcode, std::initializer_list<int32_t> controllers, int32_t input, int32_t buffer) {
  const int32_t block = MakeBlock(opcode, controllers, {35, 2, 3, 35, 35});
  SetWord(block, BlockWord::kBufferNumber, buffer);
  Wire(block, 0, MakeConstant(input), 0);
  return block;
}

TEST_F(DelayLineTest, EachBlockWritesOnlyItsOwnBufferInItsLowSixteenBits) {
  const int32_t dly = MakeDelay(Opcode::kDLY, {4096, 0, 0, 0}, 65536 + 5, 3);
  Step(dly);
  // Feedback 0: the input times 32767 wraps in 32 bits before the shift and the 16-bit store.
  EXPECT_EQ(DelayBuffer[3][0], static_cast<int16_t>(static_cast<int32_t>(int64_t{65541} * 32767) >> 15));
  for (int32_t n = 0; n < 3; ++n)
    for (int32_t i = 0; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[n][i], 0);
}

TEST_F(DelayLineTest, TheFlangerCounterWrapsAndKeepsToItsWindow) {
  const int32_t fla = MakeDelay(Opcode::kFLA, {}, 70000, 1);
  SetWord(fla, BlockWord::kState, -1);
  Step(fla);
  EXPECT_EQ(DelayBuffer[1][4095], static_cast<int16_t>(70000));
  for (int32_t i = 4096; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[1][i], 0);
}

}  // namespace
