// The delay buffer pool and the one drum buffer; the braced lists call in order.
#include "DspTestSupport.h"
#include "dsp/Pools.h"

namespace {

using PoolsTest = EngineTest;
using Results = std::vector<int32_t>;

// Buffers go out in order; an empty pool hands out buffer 0 with its message.
// Release ignores numbers outside the pool.
TEST_F(PoolsTest, DelayBuffersAndTheOneDrumBuffer) {
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

TEST_F(PoolsTest, InitFreesEveryPoolButKeepsContents) {
  ReserveDelayBuf(), ReserveDRMBuffer();
  SetDrumByte(DrumByteOffset(0, 0, 1, 5), 1);
  DelayBuffer[3][7] = 99;
  InitDspMemory();
  EXPECT_EQ((Results{ReserveDelayBuf(), DRMBufferAvailable(), GetDrumByte(64 + 5), DelayBuffer[3][7]}), (Results{0, 1, 1, 99}));
  // Bank, track and step address the pattern bytes.
  EXPECT_EQ((Results{DrumByteOffset(0, 0, 3, 63), DrumByteOffset(0, 31, 3, 63), DrumByteOffset(0, 2, 1, 4)}), (Results{255, 8191, 2 * 256 + 64 + 4}));
}

}  // namespace
