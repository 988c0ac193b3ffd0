// The engine's storage: the block lists in DspMemory (the free list as init
// leaves it, the render list as blocks are reserved and released, the words a
// reservation clears), the buffer pools and the lookup tables.
#include <cmath>

#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/Tables.h"

namespace {

using namespace BlockWord;
using Blocks = std::vector<int32_t>;
using Results = std::vector<int32_t>;

// The render list front to back, each block with its previous link.
Blocks RenderList() {
  Blocks list;
  for (int32_t b = RenderListHead.load(); b >= 0; b = Word(b, kNext)) list.push_back(b), list.push_back(Word(b, kPrevious));
  return list;
}

using DspMemoryTest = EngineTest;

// Init links every block into the free list in order; reserving all of them
// takes them in that order, and the 1025th reservation fails.
TEST_F(DspMemoryTest, InitFreesEveryBlockInOrderAndThe1025thReservationFails) {
  EXPECT_EQ((Blocks{RenderListHead.load(), FreeListHead, Word(0, kPrevious), Word(65472, kPrevious)}), (Blocks{-1, 0, -1, 65408}));
  Blocks reserved, expected;
  for (int32_t b = 0; b < 65536; b += 64) reserved.push_back(ReserveDSPBlock()), expected.push_back(b);
  EXPECT_EQ(reserved, expected);
  EXPECT_EQ((Blocks{FreeListHead, ReserveDSPBlock(), RenderListHead.load()}), (Blocks{-1, -1, 65472}));
  // Back onto the empty free list, then in front of it: the old front's
  // previous link is written, and no other block's words.
  ReleaseDSPBlock(64), ReleaseDSPBlock(128);
  EXPECT_EQ(FreeListHead, 128);
  EXPECT_EQ((Blocks{Word(128, kNext), Word(128, kPrevious), Word(64, kNext), Word(64, kPrevious), Word(0, kNext)}), (Blocks{64, -1, -1, 128, -1}));
}

// Reservations go to the front of the render list; releasing a middle block,
// the head, the tail or nothing keeps the list whole.
TEST_F(DspMemoryTest, ReservationsGoToTheFrontOfTheRenderListAndReleasesKeepItWhole) {
  Blocks reserved;
  for (int i = 0; i < 5; ++i) reserved.push_back(ReserveDSPBlock());
  EXPECT_EQ(reserved, (Blocks{0, 64, 128, 192, 256}));
  EXPECT_EQ(RenderList(), (Blocks{256, -1, 192, 256, 128, 192, 64, 128, 0, 64}));
  ReleaseDSPBlock(128);
  EXPECT_EQ(RenderList(), (Blocks{256, -1, 192, 256, 64, 192, 0, 64}));
  EXPECT_EQ(ReserveDSPBlock(), 128);
  EXPECT_EQ(RenderList(), (Blocks{128, -1, 256, 128, 192, 256, 64, 192, 0, 64}));
  for (int32_t block : {128, 0, -1}) ReleaseDSPBlock(block);
  EXPECT_EQ(RenderList(), (Blocks{256, -1, 192, 256, 64, 192}));
  EXPECT_EQ((Blocks{FreeListHead, Word(0, kNext)}), (Blocks{0, 128}));
}

TEST_F(DspMemoryTest, AFreshBlockIsClearedButKeepsItsUpperWords) {
  const int32_t block = ReserveDSPBlock();
  for (int32_t offset = 0; offset < 64; ++offset) SetWord(block, offset, 1000 + offset);
  ReleaseDSPBlock(block);
  ASSERT_EQ(ReserveDSPBlock(), block);
  for (int32_t offset = 0; offset < 64; ++offset) {
    const bool kept = (offset >= 6 && offset < 8) || (offset >= 13 && offset < 16) || (offset >= 21 && offset < 24) || offset >= 36;
    const int32_t cleared = offset >= kInput && offset < kInput + 5 ? block + kZeroSlot : 0;
    EXPECT_EQ(Word(block, offset), kept ? 1000 + offset : cleared) << "word " << offset;
  }
}

// The pools; the braced lists call in order.
// Buffers go out in order; an empty pool hands out buffer 0 with its message.
// Release ignores numbers outside the pool.
TEST_F(DspMemoryTest, DelayBuffersAndTheOneDrumBuffer) {
  MessageCapture messages;
  EXPECT_EQ((Results{DelayBufAvailable(), ReserveDelayBuf(), DelayBufAvailable(), ReserveDelayBuf(), DelayBufAvailable(), ReserveDelayBuf(),
                     DelayBufAvailable(), ReserveDelayBuf(), DelayBufAvailable()}),
            (Results{1, 0, 1, 1, 1, 2, 1, 3, 0}));
  EXPECT_EQ((Results{ReleaseDelayBuf(4), ReleaseDelayBuf(-1), DelayBufAvailable(), ReserveDelayBuf(), ReleaseDelayBuf(2), ReserveDelayBuf()}),
            (Results{4, -1, 0, 0, 2, 2}));
  EXPECT_EQ((Results{ReserveDRMBuffer(), DRMBufferAvailable(), ReserveDRMBuffer(), ReleaseDRMBuffer(1), DRMBufferAvailable(), ReleaseDRMBuffer(0),
                     DRMBufferAvailable()}),
            (Results{0, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Varnotek: Internal error - ReserveDelayBuf didn't find empty buffer",
                                                        "Varnotek: Internal error - ReserveDRMBuffer didn't find empty buffer"}));
}

TEST_F(DspMemoryTest, InitFreesEveryPoolButKeepsContents) {
  ReserveDelayBuf(), ReserveDRMBuffer();
  SetDrumByte(DrumByteOffset(0, 0, 1, 5), 1);
  DelayBuffer[3][7] = 99;
  InitDspMemory();
  EXPECT_EQ((Results{ReserveDelayBuf(), DRMBufferAvailable(), GetDrumByte(64 + 5), DelayBuffer[3][7]}), (Results{0, 1, 1, 99}));
  // Bank, track and step address the pattern bytes.
  EXPECT_EQ((Results{DrumByteOffset(0, 0, 3, 63), DrumByteOffset(0, 31, 3, 63), DrumByteOffset(0, 2, 1, 4)}), (Results{255, 8191, 2 * 256 + 64 + 4}));
}

constexpr int32_t kExpAnchors[][2] = {{0, 0},      {2184, 0},     {2185, 1},      {4369, 3},      {16383, 179}, {16384, 180}, {20000, 569},
                                      {20437, 654}, {22000, 1074}, {26000, 3826}, {28000, 7219}, {30000, 13618}, {8192, 12}, {32767, 32767}};
// Curve clamps its argument to the table.
constexpr int32_t kCurveAnchors[][2] = {{-1, 0}, {-2147483647 - 1, 0}, {32768, 32767}, {2147483647, 32767}, {26000, 3826}};
// Entries set by hand where the truncated sine is off; their negatives follow.
constexpr int32_t kSineOverrides[][2] = {{5108, 15412}, {16384, 32766}, {24043, 24323}, {26201, 19294}, {28131, 14092}, {28200, 13896}};

TEST(Tables, ExpAndCurveHitEveryAnchorNeverFallAndDoublePerOctave) {
  for (const auto& [index, value] : kExpAnchors) EXPECT_EQ(ExpTable(index), value) << "entry " << index;
  for (const auto& [index, value] : kCurveAnchors) EXPECT_EQ(Curve(index), value) << index;
  for (int32_t i = 1; i < kExpTableSize; ++i) ASSERT_GE(ExpTable(i), ExpTable(i - 1)) << i;
  // 2184.5 steps per octave: two octaves above entry 20437 are 4369 steps on.
  EXPECT_NEAR(ExpTable(20437 + 4369) + 1, 4 * (ExpTable(20437) + 1), 4);
}

TEST(Tables, SineIsTheTruncatedSineButForTheOverrides) {
  for (const auto& [index, value] : kSineOverrides) EXPECT_EQ((Results{SineTable(index), SineTable(-index)}), (Results{value, -value})) << index;
  EXPECT_EQ(SineTable(-32768), 0);  // the one entry without a negative; the loop below holds the rest
  const double pi = std::acos(-1.0);
  int32_t differing = 0;
  for (int32_t p = -32767; p <= 32767; ++p) {
    ASSERT_EQ(SineTable(-p), -SineTable(p)) << p;
    differing += SineTable(p) != static_cast<int32_t>(std::trunc(32767.0 * std::sin(2.0 * pi * p / 65536.0)));
  }
  EXPECT_EQ(differing, 12);  // the six overrides and their negatives
}

}  // namespace
