#include "DspTestSupport.h"
#include "dsp/Pools.h"

namespace {

using PoolsTest = EngineTest;

const char kDelayFailure[] = "Varnotek: Internal error - ReserveDelayBuf didn't find empty buffer";
const char kDrumFailure[] = "Varnotek: Internal error - ReserveDRMBuffer didn't find empty buffer";

TEST_F(PoolsTest, DelayBuffersAreHandedOutInOrderThenBufferZeroWithAMessage) {
  MessageCapture messages;
  for (int32_t n = 0; n < 4; ++n) {
    EXPECT_EQ(DelayBufAvailable(), 1);
    EXPECT_EQ(ReserveDelayBuf(), n);
  }
  EXPECT_EQ(DelayBufAvailable(), 0);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(ReserveDelayBuf(), 0);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], kDelayFailure);
}

TEST_F(PoolsTest, ReleaseIgnoresNumbersOutsideThePool) {
  for (int32_t n = 0; n < 4; ++n) ReserveDelayBuf();
  EXPECT_EQ(ReleaseDelayBuf(4), 4);
  EXPECT_EQ(ReleaseDelayBuf(-1), -1);
  EXPECT_EQ(DelayBufAvailable(), 0);
  EXPECT_EQ(ReleaseDelayBuf(2), 2);
  EXPECT_EQ(DelayBufAvailable(), 1);
  EXPECT_EQ(ReserveDelayBuf(), 2);
}

TEST_F(PoolsTest, TheDrumBufferIsSingle) {
  MessageCapture messages;
  EXPECT_EQ(DRMBufferAvailable(), 1);
  EXPECT_EQ(ReserveDRMBuffer(), 0);
  EXPECT_EQ(DRMBufferAvailable(), 0);
  EXPECT_EQ(ReserveDRMBuffer(), 0);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], kDrumFailure);
  EXPECT_EQ(ReleaseDRMBuffer(1), 1);
  EXPECT_EQ(DRMBufferAvailable(), 0);
  EXPECT_EQ(ReleaseDRMBuffer(0), 0);
  EXPECT_EQ(DRMBufferAvailable(), 1);
}

TEST_F(PoolsTest, InitFreesEveryPoolButKeepsContents) {
  ReserveDelayBuf();
  ReserveDRMBuffer();
  SetDrumByte(DrumByteOffset(0, 0, 1, 5), 1);
  DelayBuffer[3][7] = 99;
  InitDspMemory();
  EXPECT_EQ(ReserveDelayBuf(), 0);
  EXPECT_EQ(DRMBufferAvailable(), 1);
  EXPECT_EQ(GetDrumByte(64 + 5), 1);
  EXPECT_EQ(DelayBuffer[3][7], 99);
}

TEST(DrumByteOffset, AddressesBankTrackAndStep) {
  EXPECT_EQ(DrumByteOffset(0, 0, 0, 0), 0);
  EXPECT_EQ(DrumByteOffset(0, 0, 3, 63), 255);
  EXPECT_EQ(DrumByteOffset(0, 31, 3, 63), 8191);
  EXPECT_EQ(DrumByteOffset(0, 2, 1, 4), 2 * 256 + 64 + 4);
}

}  // namespace
