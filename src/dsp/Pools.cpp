#include "dsp/Pools.h"

#include "dsp/MessageSink.h"

int16_t DelayBuffer[kDelayBufferCount][kDelayBufferSamples]{};
int32_t delayBufInUse[kDelayBufferCount]{};
std::atomic<uint8_t> DrumPattern[kDrumBufferCount * kDrumBufferBytes]{};
int32_t drumBufInUse = 0;
const int32_t drumBank = 0;

namespace {

// Takes the first free flag of a pool; when every flag is taken it reports the
// failure and hands out buffer 0, although that one is in use.
int32_t ReserveFirstFree(int32_t* flags, int32_t count, const char* failureText) {
  for (int32_t n = 0; n < count; ++n) {
    if (flags[n] == 0) {
      flags[n] = 1;
      return n;
    }
  }
  ShowMessage(nullptr, failureText, MessageIcon::Error);
  return 0;
}

int32_t ReleaseIfValid(int32_t* flags, int32_t count, int32_t buffer) {
  if (buffer >= 0 && buffer < count) flags[buffer] = 0;
  return buffer;
}

int32_t AnyFree(const int32_t* flags, int32_t count) {
  for (int32_t n = 0; n < count; ++n)
    if (flags[n] == 0) return 1;
  return 0;
}

}  // namespace

void InitPools() {
  for (int32_t& flag : delayBufInUse) flag = 0;
  drumBufInUse = 0;
}

int32_t ReserveDelayBuf() {
  return ReserveFirstFree(delayBufInUse, kDelayBufferCount,
                          "Varnotek: Internal error - ReserveDelayBuf didn't find empty buffer");
}
int32_t ReleaseDelayBuf(int32_t buffer) { return ReleaseIfValid(delayBufInUse, kDelayBufferCount, buffer); }
int32_t DelayBufAvailable() { return AnyFree(delayBufInUse, kDelayBufferCount); }

int32_t ReserveDRMBuffer() {
  return ReserveFirstFree(&drumBufInUse, kDrumBufferCount,
                          "Varnotek: Internal error - ReserveDRMBuffer didn't find empty buffer");
}
int32_t ReleaseDRMBuffer(int32_t buffer) { return ReleaseIfValid(&drumBufInUse, kDrumBufferCount, buffer); }
int32_t DRMBufferAvailable() { return AnyFree(&drumBufInUse, kDrumBufferCount); }
