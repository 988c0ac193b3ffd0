// The wave-output device on Linux: a PortAudio callback stream on the
// default output that plays the written headers in order and posts
// kWaveOutDone when one has been played to its end.
#pragma once

#include <portaudio.h>

#include "audio/BoundedQueue.h"
#include "audio/PendingNotices.h"
#include "audio/WaveOutDevice.h"

class PortAudioWaveOut final : public WaveOutDevice {
 public:
  // Frames per callback: small, so that a finished buffer is reported
  // within a few milliseconds of its end.
  static constexpr unsigned long kCallbackFrames = 256;

  PortAudioWaveOut() = default;
  ~PortAudioWaveOut() override;

  uint32_t Open(const WaveFormat& format, ThreadMessageQueue* notify) override;
  uint32_t PrepareHeader(WaveHeader* header) override;
  uint32_t Write(WaveHeader* header) override;
  uint32_t UnprepareHeader(WaveHeader* header) override;
  void Close() override;

 private:
  static int StreamCallback(const void* input, void* output, unsigned long frameCount,
                            const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                            void* device);
  // Runs on PortAudio's audio thread: copies, pops and posts, nothing else.
  void Play(char* output, unsigned long bytes);

  PaStream* stream_ = nullptr;
  ThreadMessageQueue* notify_ = nullptr;
  // Headers written and not yet taken by the callback.
  BoundedQueue<WaveHeader*, 8> written_;
  // Callback side only: the header being played and how far.
  WaveHeader* playing_ = nullptr;
  uint32_t playedBytes_ = 0;
  // Notices the playback thread's queue had no room for, posted again later.
  PendingNotices<8> notices_;
};

// The one device of the process; it closes itself when static storage ends.
PortAudioWaveOut& DefaultPortAudioWaveOut();
