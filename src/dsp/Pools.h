// The fixed pools beside DspMemory: four delay buffers for DLY and FLA blocks
// and the one drum-pattern buffer for DRM blocks, each with in-use flags that
// only the UI thread touches.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr int32_t kDelayBufferCount = 4;
inline constexpr int32_t kDelayBufferSamples = 32768;

inline constexpr int32_t kDrumBufferCount = 1;
inline constexpr int32_t kDrumBanks = 32;
inline constexpr int32_t kDrumTracks = 4;
inline constexpr int32_t kDrumSteps = 64;
inline constexpr int32_t kDrumBankBytes = kDrumTracks * kDrumSteps;                     // 256
inline constexpr int32_t kDrumBufferBytes = kDrumBanks * kDrumBankBytes;                // 8192

// Only the render loop reads and writes delay samples.
extern int16_t DelayBuffer[kDelayBufferCount][kDelayBufferSamples];
extern int32_t delayBufInUse[kDelayBufferCount];

// Pattern bytes are written by the UI thread and read by the render loop.
extern std::atomic<uint8_t> DrumPattern[kDrumBufferCount * kDrumBufferBytes];
extern int32_t drumBufInUse;
// The bank that DRM blocks play; nothing changes it.
extern const int32_t drumBank;

void InitPools();

int32_t ReserveDelayBuf();
int32_t ReleaseDelayBuf(int32_t buffer);
int32_t DelayBufAvailable();

int32_t ReserveDRMBuffer();
int32_t ReleaseDRMBuffer(int32_t buffer);
int32_t DRMBufferAvailable();

// Offset of a step byte within DrumPattern.
inline int32_t DrumByteOffset(int32_t buffer, int32_t bank, int32_t track, int32_t step) {
  return (buffer * kDrumBanks + bank) * kDrumBankBytes + track * kDrumSteps + step;
}
inline int8_t GetDrumByte(int32_t offset) { return static_cast<int8_t>(DrumPattern[offset].load(std::memory_order_relaxed)); }
inline void SetDrumByte(int32_t offset, int32_t value) {
  DrumPattern[offset].store(static_cast<uint8_t>(value), std::memory_order_relaxed);
}
