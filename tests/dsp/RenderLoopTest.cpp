// The render loop: the noise source, the output sums, which frame a wire
// carries, and edits between frames.
#include <cstring>

#include "DspTestSupport.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"

namespace {

using RenderLoopTest = EngineTest;
using Samples = std::vector<int16_t>;

TEST_F(RenderLoopTest, NoiseStartsWithTheKnownSequenceAndAdvancesInSilence) {
  NoiseGenerator noise;
  std::vector<int32_t> values;
  for (int i = 0; i < 10; ++i) values.push_back(noise.Advance());
  EXPECT_EQ(values, (std::vector<int32_t>{0, 20, 36, 104, 264, 860, 1429, 3806, 5123, 15544}));
  // An empty list renders silence and still advances the noise every frame.
  Samples buffer(8192, 77);
  RenderBuffer(buffer.data());
  EXPECT_EQ(buffer, Samples(8192, 0));
  for (int i = 10; i < 4096; ++i) noise.Advance();
  EXPECT_EQ(std::memcmp(&noiseGenerator, &noise, sizeof noise), 0);
}

// OUT: each input with its volume (Curve of a controller) into the left, the
// right or both sums, 8192 to full scale, wrapping instead of clipping.
TEST_F(RenderLoopTest, OutputFramesFromEachInputAndVolume) {
  // Input, volume (of controller input + 1), value, left and right. Curve(30000) = 13618: 8192 in gives (8192 x 13618) >> 13 = 13618.
  const int32_t cases[][5] = {{0, 30000, 8192, 13618, 0},     {1, 30000, 8192, 13618, 13618}, {2, 30000, 8192, 13618, 13618},
                              {3, 30000, 8192, 13618, 13618}, {4, 30000, 8192, 0, 13618},     {2, 26000, 32767, 15303, 15303},
                              {0, 32767, 32767, -8, 0}};  // the last sum, 1073676289, wraps
  for (const auto& [input, volume, value, left, right] : cases) {
    ResetEngine();
    const int32_t out = MakeBlock(Opcode::kOUT);
    SetWord(out, input + 1, volume);
    // The top bits of an input word are masked: it stays inside memory.
    SetWord(out, BlockWord::kInput + input, (MakeConstant(value) + BlockWord::kOutput) | 0x7FFF0000);
    const Samples frames = Render(2);
    EXPECT_EQ(std::vector<int32_t>(frames.begin(), frames.end()), (std::vector<int32_t>{left, right, left, right})) << "input " << input;
  }
}

// An ADD that adds 1 to its own output counts frames; an ADD copying it shows
// which frame's value a wire carries: the older block runs last.
TEST_F(RenderLoopTest, AWireFromAnOlderBlockIsOneFrameLateFromANewerOneNot) {
  const int32_t older = MakeBlock(Opcode::kADD), counter = MakeBlock(Opcode::kADD, {0, 1}, {1, BlockWord::kOutput}), newer = MakeBlock(Opcode::kADD);
  Wire(older, 0, counter, 0), Wire(newer, 0, counter, 0);
  Render(3);
  EXPECT_EQ((std::vector{Out(counter, 0), Out(older, 0), Out(newer, 0)}), (std::vector{3, 3, 2}));
}

TEST_F(RenderLoopTest, OpcodesWithoutAStepLeaveTheBlockAlone) {
  for (int32_t opcode : {0, 1, 3, 7, 18, 19, 36, 46, -5, 1000}) {
    ResetEngine();
    const int32_t block = ReserveDSPBlock();
    const std::vector<int32_t> offsets = {0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};
    for (int32_t offset : offsets) SetWord(block, offset, 500 + offset);
    SetOpcode(block, opcode);
    Render(8);
    for (int32_t offset : offsets) ASSERT_EQ(Word(block, offset), 500 + offset) << "opcode " << opcode << ", word " << offset;
  }
}

// The loop keeps a flat copy of the render list; every kind of edit between
// two frames must reach the very next frame.
TEST_F(RenderLoopTest, EditsBetweenFramesReachTheNextFrame) {
  const int32_t source = MakeConstant(8192), out = MakeBlock(Opcode::kOUT, {0, 0, 0, 26000});
  Wire(out, 2, source, 0);
  std::vector<int32_t> heard = {Render(1)[0]};
  SetOpcode(out, 0), heard.push_back(Render(1)[0]);
  SetOpcode(out, Opcode::kOUT), heard.push_back(Render(1)[0]);
  const int32_t second = MakeBlock(Opcode::kOUT, {0, 0, 0, 26000});
  Wire(second, 2, source, 0), heard.push_back(Render(1)[0]);  // two outputs add up
  SetOpcode(second, 0), ReleaseDSPBlock(second), heard.push_back(Render(1)[0]);
  ReleaseDSPBlock(out), heard.push_back(Render(1)[0]);
  EXPECT_EQ(heard, (std::vector<int32_t>{3826, 0, 3826, 2 * 3826, 3826, 0}));
}

}  // namespace
