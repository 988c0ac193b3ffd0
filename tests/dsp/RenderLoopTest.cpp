#include <vector>

#include "DspTestSupport.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"

namespace {

using RenderLoopTest = EngineTest;

TEST_F(RenderLoopTest, NoiseStartsWithTheKnownSequence) {
  NoiseGenerator noise;
  std::vector<int32_t> values;
  for (int i = 0; i < 10; ++i) values.push_back(noise.Advance());
  EXPECT_EQ(values, (std::vector<int32_t>{0, 20, 36, 104, 264, 860, 1429, 3806, 5123, 15544}));
}

TEST_F(RenderLoopTest, AnEmptyListRendersSilenceAndStillAdvancesTheNoise) {
  std::vector<int16_t> buffer(8192, 77);
  RenderBuffer(buffer.data());
  for (int16_t sample : buffer) ASSERT_EQ(sample, 0);
  NoiseGenerator expected;
  for (int i = 0; i < 4096; ++i) expected.Advance();
  EXPECT_EQ(noiseGenerator.a, expected.a);
  EXPECT_EQ(noiseGenerator.b, expected.b);
  EXPECT_EQ(noiseGenerator.c, expected.c);
}

int32_t MakeOut(std::initializer_list<int32_t> controllers = {0, 0, 0, 26000, 0, 0}) {
  return MakeBlock(Opcode::kOUT, controllers);
}

TEST_F(RenderLoopTest, AFullScaleCentreInputComesOutAt15303) {
  const int32_t source = MakeConstant(32767);
  const int32_t out = MakeOut();
  Wire(out, 2, source, 0);
  for (int16_t sample : Render(16)) ASSERT_EQ(sample, 15303);
}

TEST_F(RenderLoopTest, AnOverloadedSumWrapsInsteadOfClipping) {
  const int32_t source = MakeConstant(32767);
  const int32_t out = MakeOut({0, 32767, 0, 0, 0, 0});
  Wire(out, 0, source, 0);
  const std::vector<int16_t> frame = Render(1);
  EXPECT_EQ(leftSum, 1073676289);
  EXPECT_EQ(frame[0], -8);
  EXPECT_EQ(frame[1], 0);
}

TEST_F(RenderLoopTest, EveryVolumeFeedsItsChannels) {
  struct Case {
    int32_t input, volumeController;
    int16_t left, right;
  };
  // Curve(30000) = 13618: 8192 in gives (8192 x 13618) >> 13 = 13618.
  const Case cases[] = {{0, 1, 13618, 0}, {1, 2, 13618, 13618}, {2, 3, 13618, 13618},
                        {3, 4, 13618, 13618}, {4, 5, 0, 13618}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t source = MakeConstant(8192);
    const int32_t out = MakeOut({0, 0, 0, 0, 0, 0});
    SetWord(out, c.volumeController, 30000);
    Wire(out, c.input, source, 0);
    const std::vector<int16_t> frame = Render(1);
    EXPECT_EQ(frame[0], c.left) << "input " << c.input;
    EXPECT_EQ(frame[1], c.right) << "input " << c.input;
  }
}

TEST_F(RenderLoopTest, TwoOutputsAddUp) {
  const int32_t source = MakeConstant(1000);
  for (int i = 0; i < 2; ++i) Wire(MakeOut(), 2, source, 0);
  const std::vector<int16_t> two = Render(1);
  // One OUT: (1000 x 3826) >> 13 = 467; two: (2 x 3826000) >> 13 = 934.
  EXPECT_EQ(two[0], 934);
  EXPECT_EQ(two[1], 934);
}

TEST_F(RenderLoopTest, OpcodesWithoutAStepLeaveTheBlockAlone) {
  for (int32_t opcode : {0, 1, 3, 7, 18, 19, 36, 46, -5, 1000}) {
    ResetEngine();
    const int32_t block = ReserveDSPBlock();
    for (int32_t offset = 0; offset < 32; ++offset) {
      if (offset < 8 || offset >= 16) SetWord(block, offset, 500 + offset);
    }
    SetOpcode(block, opcode);
    Render(8);
    for (int32_t offset = 0; offset < 32; ++offset) {
      if (offset >= 8 && offset < 16) continue;
      ASSERT_EQ(Word(block, offset), 500 + offset) << "opcode " << opcode;
    }
  }
}

// An ADD that adds 1 to its own output counts frames; a second ADD copying
// it shows which frame's value a wire carries.
TEST_F(RenderLoopTest, AWireFromAnOlderBlockIsOneFrameLate) {
  const int32_t older = MakeBlock(Opcode::kADD, {0, 1, 0, 0, 0}, {1, 2, 35, 35});
  Wire(older, 1, older, 0);
  const int32_t newer = MakeBlock(Opcode::kADD, {}, {35, 35, 35, 35});
  Wire(newer, 0, older, 0);
  Render(3);
  EXPECT_EQ(Out(older, 0), 3);
  EXPECT_EQ(Out(newer, 0), 2);  // the newer block runs first and sees last frame's count
}

TEST_F(RenderLoopTest, AWireFromANewerBlockCarriesTheSameFrame) {
  const int32_t follower = MakeBlock(Opcode::kADD, {}, {35, 35, 35, 35});
  const int32_t counter = MakeBlock(Opcode::kADD, {0, 1, 0, 0, 0}, {1, 2, 35, 35});
  Wire(counter, 1, counter, 0);
  Wire(follower, 0, counter, 0);
  Render(3);
  EXPECT_EQ(Out(counter, 0), 3);
  EXPECT_EQ(Out(follower, 0), 3);
}

TEST_F(RenderLoopTest, AnInputWordOutsideMemoryIsConfinedToIt) {
  const int32_t source = MakeConstant(32767);
  const int32_t out = MakeOut();
  SetWord(out, BlockWord::kInput + 2, (source + BlockWord::kOutput) | 0x7FFF0000);
  for (int16_t sample : Render(2)) ASSERT_EQ(sample, 15303);
}

}  // namespace

namespace {

// The loop keeps a flat copy of the render list; every kind of edit between
// two frames must reach the very next frame.
TEST_F(RenderLoopTest, EditsBetweenFramesReachTheNextFrame) {
  const int32_t source = MakeConstant(8192);
  const int32_t out = MakeBlock(Opcode::kOUT, {0, 0, 0, 26000, 0, 0});
  Wire(out, 2, source, 0);
  EXPECT_EQ(Render(1)[0], 3826);

  SetOpcode(out, 0);
  EXPECT_EQ(Render(1)[0], 0);
  SetOpcode(out, Opcode::kOUT);
  EXPECT_EQ(Render(1)[0], 3826);

  const int32_t second = MakeBlock(Opcode::kOUT, {0, 0, 0, 26000, 0, 0});
  Wire(second, 2, source, 0);
  EXPECT_EQ(Render(1)[0], 2 * 3826);

  SetOpcode(second, 0);
  ReleaseDSPBlock(second);
  EXPECT_EQ(Render(1)[0], 3826);

  ReleaseDSPBlock(out);
  EXPECT_EQ(Render(1)[0], 0);
}

}  // namespace
