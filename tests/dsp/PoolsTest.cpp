#include "DspTestSupport.h"
#include "dsp/Pools.h"

namespace {

using PoolsTest = EngineTest;

// Buffers go out in order; an empty pool hands out buffer 0 with its message.
// Release ignores numbers outside the pool.
TEST_F(PoolsTest, DelayBuffersAndTheOneDrumBuffer) {
  MessageCapture messages;
  for (int32_t n = 0; n < 4; ++n) {
    EXPECT_EQ(DelayBufAvailable(), 1);
    EXPECT_EQ(ReserveDelayBuf(), n);
  }
  EXPECT_EQ(DelayBufAvailable(), 0);
  EXPECT_EQ(ReleaseDelayBuf(4), 4);
  EXPECT_EQ(ReleaseDelayBuf(-1), -1);
  EXPECT_EQ(DelayBufAvailable(), 0);
  EXPECT_EQ(ReserveDelayBuf(), 0);
  EXPECT_EQ(ReleaseDelayBuf(2), 2);
  EXPECT_EQ(ReserveDelayBuf(), 2);

  EXPECT_EQ(ReserveDRMBuffer(), 0);
  EXPECT_EQ(DRMBufferAvailable(), 0);
  EXPECT_EQ(ReserveDRMBuffer(), 0);
  EXPECT_EQ(ReleaseDRMBuffer(1), 1);
  EXPECT_EQ(DRMBufferAvailable(), 0);
  EXPECT_EQ(ReleaseDRMBuffer(0), 0);
  EXPECT_EQ(DRMBufferAvailable(), 1);
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{
                                "Varnotek: Internal error - ReserveDelayBuf didn't find empty buffer",
                                "Varnotek: Internal error - ReserveDRMBuffer didn't find empty buffer"}));
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
  // Bank, track and step address the pattern bytes.
  EXPECT_EQ(DrumByteOffset(0, 0, 3, 63), 255);
  EXPECT_EQ(DrumByteOffset(0, 31, 3, 63), 8191);
  EXPECT_EQ(DrumByteOffset(0, 2, 1, 4), 2 * 256 + 64 + 4);
}

}  // namespace
