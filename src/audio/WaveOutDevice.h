// The wave-output device as the playback ring sees it, shaped like the
// Windows waveOut service so that waveOut itself fits behind it: open the
// default device for a PCM format with a thread to notify, prepare, write
// and unprepare buffer headers. Written buffers play in the order written;
// when one has finished, the device posts kWaveOutDone to the thread's
// message queue.
#pragma once

#include <cstdint>

#include "audio/ThreadMessageQueue.h"

// Notices a device posts (MM_WOM_OPEN, MM_WOM_DONE, MM_WOM_CLOSE).
inline constexpr uint32_t kWaveOutOpen = 955;
inline constexpr uint32_t kWaveOutDone = 957;
inline constexpr uint32_t kWaveOutClose = 956;

// Results (MMSYSERR_*, WAVERR_BADFORMAT).
inline constexpr uint32_t kWaveOk = 0;
inline constexpr uint32_t kWaveError = 1;
inline constexpr uint32_t kWaveBadDevice = 2;
inline constexpr uint32_t kWaveNoMemory = 7;
inline constexpr uint32_t kWaveBadFormat = 32;

// WAVEFORMATEX without the extra bytes.
struct WaveFormat {
  uint16_t formatTag = 0;  // 1 = PCM
  uint16_t channels = 0;
  uint32_t samplesPerSecond = 0;
  uint32_t averageBytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

// Header flags (WHDR_*). The device sets them; the ring writes 0 before queuing.
inline constexpr uint32_t kHeaderDone = 0x01;
inline constexpr uint32_t kHeaderPrepared = 0x02;
inline constexpr uint32_t kHeaderInQueue = 0x10;

// WAVEHDR. Between Write and the done notice the header and its data belong
// to the device; the notice hands them back.
struct WaveHeader {
  char* data = nullptr;
  uint32_t bufferLength = 0;
  uint32_t bytesRecorded = 0;
  uintptr_t user = 0;
  uint32_t flags = 0;
  uint32_t loops = 0;
  WaveHeader* next = nullptr;
  uintptr_t reserved = 0;
};

class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;
  // Opens the default device; kWaveOk on success, after which notices go to
  // `notify` (first kWaveOutOpen, then kWaveOutDone with the header in lParam).
  virtual uint32_t Open(const WaveFormat& format, ThreadMessageQueue* notify) = 0;
  virtual uint32_t PrepareHeader(WaveHeader* header) = 0;
  virtual uint32_t Write(WaveHeader* header) = 0;
  virtual uint32_t UnprepareHeader(WaveHeader* header) = 0;
  // Stops playing, drops what is queued without notices and closes. Not part
  // of the ring's life; only for an orderly end of the process or a test.
  virtual void Close() = 0;
};
