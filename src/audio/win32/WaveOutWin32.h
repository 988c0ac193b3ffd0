// The wave-output device on Windows: waveOut itself, on the default device
// (the wave mapper), notifying the playback thread through its message
// queue (CALLBACK_THREAD). Our WaveHeader is laid out as WAVEHDR, so the
// ring's headers go to waveOut as they are.
#pragma once

#include "audio/WaveOutDevice.h"

class WaveOutWin32 final : public WaveOutDevice {
 public:
  WaveOutWin32() = default;
  ~WaveOutWin32() override;
  WaveOutWin32(const WaveOutWin32&) = delete;
  WaveOutWin32& operator=(const WaveOutWin32&) = delete;

  // `notify` must have an attached owner: its thread receives the notices.
  // The results are waveOut's own MMRESULT values.
  uint32_t Open(const WaveFormat& format, ThreadMessageQueue* notify) override;
  uint32_t PrepareHeader(WaveHeader* header) override;
  uint32_t Write(WaveHeader* header) override;
  uint32_t UnprepareHeader(WaveHeader* header) override;
  void Close() override;

 private:
  static constexpr int kMostPrepared = 8;
  void* handle_ = nullptr;  // HWAVEOUT
  // Headers prepared and not unprepared yet; Close must unprepare them
  // before waveOutClose will let the device go.
  WaveHeader* prepared_[kMostPrepared] = {};
};

// The one device of the process; it closes itself when static storage ends.
WaveOutWin32& DefaultWaveOutWin32();
