// The block lists in DspMemory: the free list as init leaves it, the render
// list as blocks are reserved and released, and the words a reservation clears.
#include <vector>

#include "DspTestSupport.h"

namespace {

using namespace BlockWord;
using Blocks = std::vector<int32_t>;

Blocks RenderListOrder() {
  Blocks order;
  for (int32_t b = RenderListHead.load(); b >= 0; b = Word(b, kNext)) order.push_back(b);
  return order;
}

using DspMemoryTest = EngineTest;

TEST_F(DspMemoryTest, InitLinksEveryBlockIntoTheFreeListInOrder) {
  EXPECT_EQ(RenderListHead.load(), -1);
  Blocks free, expected;
  for (int32_t b = FreeListHead; b != -1 && free.size() <= 1024; b = Word(b, kNext)) free.push_back(b);
  for (int32_t b = 0; b < 65536; b += 64) expected.push_back(b);
  EXPECT_EQ(free, expected);
  EXPECT_EQ(Word(0, kPrevious), -1);
  EXPECT_EQ(Word(65472, kPrevious), 65408);
}

TEST_F(DspMemoryTest, ReservationsGoToTheFrontOfTheRenderListAndReleasesKeepItWhole) {
  Blocks reserved;
  for (int i = 0; i < 5; ++i) reserved.push_back(ReserveDSPBlock());
  EXPECT_EQ(reserved, (Blocks{0, 64, 128, 192, 256}));
  EXPECT_EQ(RenderListOrder(), (Blocks{256, 192, 128, 64, 0}));
  EXPECT_EQ((Blocks{Word(256, kPrevious), Word(0, kPrevious)}), (Blocks{-1, 64}));
  ReleaseDSPBlock(128);
  EXPECT_EQ(RenderListOrder(), (Blocks{256, 192, 64, 0}));
  EXPECT_EQ(Word(64, kPrevious), 192);
  EXPECT_EQ(ReserveDSPBlock(), 128);
  EXPECT_EQ(RenderListOrder(), (Blocks{128, 256, 192, 64, 0}));
  ReleaseDSPBlock(128);  // head
  EXPECT_EQ(RenderListOrder(), (Blocks{256, 192, 64, 0}));
  EXPECT_EQ(Word(256, kPrevious), -1);
  ReleaseDSPBlock(0);  // tail
  EXPECT_EQ(RenderListOrder(), (Blocks{256, 192, 64}));
  EXPECT_EQ(Word(64, kNext), -1);
  ReleaseDSPBlock(-1);  // nothing
  EXPECT_EQ(RenderListOrder(), (Blocks{256, 192, 64}));
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

TEST_F(DspMemoryTest, The1025thReservationFails) {
  int32_t last = -1;
  for (int i = 0; i < 1024; ++i) last = ReserveDSPBlock();
  EXPECT_EQ(last, 65472);
  EXPECT_EQ(FreeListHead, -1);
  EXPECT_EQ(ReserveDSPBlock(), -1);
  EXPECT_EQ(RenderListHead.load(), 65472);
  // Back onto the empty free list, then in front of it: the old front's
  // previous link is written, and no other block's words.
  ReleaseDSPBlock(64);
  ReleaseDSPBlock(128);
  EXPECT_EQ(FreeListHead, 128);
  EXPECT_EQ((Blocks{Word(128, kNext), Word(128, kPrevious), Word(64, kNext), Word(64, kPrevious), Word(0, kNext)}), (Blocks{64, -1, -1, 128, -1}));
}

}  // namespace
