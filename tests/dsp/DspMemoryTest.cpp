#include <vector>

#include "DspTestSupport.h"

namespace {

using namespace BlockWord;

std::vector<int32_t> RenderListOrder() {
  std::vector<int32_t> order;
  for (int32_t b = RenderListHead.load(); b >= 0; b = Word(b, kNext)) order.push_back(b);
  return order;
}

using DspMemoryTest = EngineTest;

TEST_F(DspMemoryTest, InitLinksEveryBlockIntoTheFreeListInOrder) {
  EXPECT_EQ(RenderListHead.load(), -1);
  EXPECT_EQ(FreeListHead, 0);
  int32_t count = 0;
  for (int32_t b = FreeListHead; b != -1; b = Word(b, kNext)) {
    ASSERT_EQ(b, count * 64);
    ++count;
  }
  EXPECT_EQ(count, 1024);
  EXPECT_EQ(Word(0, kPrevious), -1);
  EXPECT_EQ(Word(65472, kPrevious), 65408);
}

TEST_F(DspMemoryTest, ReservationsGoToTheFrontOfTheRenderList) {
  std::vector<int32_t> reserved;
  for (int i = 0; i < 5; ++i) reserved.push_back(ReserveDSPBlock());
  EXPECT_EQ(reserved, (std::vector<int32_t>{0, 64, 128, 192, 256}));
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{256, 192, 128, 64, 0}));
  EXPECT_EQ(Word(256, kPrevious), -1);
  EXPECT_EQ(Word(0, kPrevious), 64);

  ReleaseDSPBlock(128);
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{256, 192, 64, 0}));
  EXPECT_EQ(Word(64, kPrevious), 192);
  EXPECT_EQ(ReserveDSPBlock(), 128);
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{128, 256, 192, 64, 0}));
}

TEST_F(DspMemoryTest, ReleasingTheHeadOrTheTailKeepsTheListWhole) {
  for (int i = 0; i < 3; ++i) ReserveDSPBlock();
  ReleaseDSPBlock(128);  // head
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{64, 0}));
  EXPECT_EQ(Word(64, kPrevious), -1);
  ReleaseDSPBlock(0);  // tail
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{64}));
  EXPECT_EQ(Word(64, kNext), -1);
  ReleaseDSPBlock(-1);  // nothing
  EXPECT_EQ(RenderListOrder(), (std::vector<int32_t>{64}));
  EXPECT_EQ(FreeListHead, 0);
  EXPECT_EQ(Word(0, kNext), 128);
}

TEST_F(DspMemoryTest, AFreshBlockIsClearedButKeepsItsUpperWords) {
  const int32_t block = ReserveDSPBlock();
  for (int32_t offset = 0; offset < 64; ++offset) SetWord(block, offset, 1000 + offset);
  ReleaseDSPBlock(block);
  ASSERT_EQ(ReserveDSPBlock(), block);
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(Word(block, c), 0);
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(Word(block, kInput + i), block + 35);
  for (int32_t o = 16; o < 21; ++o) EXPECT_EQ(Word(block, o), 0);
  for (int32_t s = 24; s < 32; ++s) EXPECT_EQ(Word(block, s), 0);
  EXPECT_EQ(Word(block, kOpcode), 0);
  EXPECT_EQ(Word(block, kZeroSlot), 0);
  for (int32_t offset : {6, 7, 13, 14, 15, 21, 22, 23}) EXPECT_EQ(Word(block, offset), 1000 + offset);
  for (int32_t offset = 36; offset < 64; ++offset) EXPECT_EQ(Word(block, offset), 1000 + offset);
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
  EXPECT_EQ((std::vector{Word(128, kNext), Word(128, kPrevious), Word(64, kNext), Word(64, kPrevious), Word(0, kNext)}),
            (std::vector{64, -1, -1, 128, -1}));
}

}  // namespace
