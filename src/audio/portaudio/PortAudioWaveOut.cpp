#include "audio/portaudio/PortAudioWaveOut.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kUnprepared = 34;    // WAVERR_UNPREPARED
constexpr uint32_t kStillPlaying = 33;  // WAVERR_STILLPLAYING

void DiscardAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// ALSA reports every card it cannot find and JACK every server it cannot
// reach, straight to stderr, while PortAudio looks for devices. On a machine
// without sound that is a screenful of noise, so stderr points to /dev/null
// while PortAudio initialises and opens. ALSA's own reports go through its
// error handler, which stays silent for good.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

bool IsPlaybackFormat(const WaveFormat& format) {
  return format.formatTag == 1 && format.channels == 2 && format.samplesPerSecond == 44100 &&
         format.bitsPerSample == 16 && format.blockAlign == 4;
}

}  // namespace

PortAudioWaveOut::~PortAudioWaveOut() { Close(); }

uint32_t PortAudioWaveOut::Open(const WaveFormat& format, ThreadMessageQueue* notify) {
  if (stream_ != nullptr) return kWaveError;
  if (!IsPlaybackFormat(format)) return kWaveBadFormat;
  snd_lib_error_set_handler(DiscardAlsaMessage);

  QuietStderr quiet;
  if (Pa_Initialize() != paNoError) return kWaveError;
  const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  if (info == nullptr) {
    Pa_Terminate();
    return kWaveBadDevice;
  }

  // Headers left from an earlier session are not ours to play.
  WaveHeader* stale;
  while (written_.TryPop(stale)) {
  }
  playing_ = nullptr;
  playedBytes_ = 0;
  notify_ = notify;

  PaStreamParameters output{};
  output.device = device;
  output.channelCount = format.channels;
  output.sampleFormat = paInt16;
  output.suggestedLatency = info->defaultLowOutputLatency;
  PaError error = Pa_OpenStream(&stream_, nullptr, &output, format.samplesPerSecond, kCallbackFrames,
                                paNoFlag, StreamCallback, this);
  if (error == paNoError) {
    error = Pa_StartStream(stream_);
    if (error != paNoError) Pa_CloseStream(stream_);
  }
  if (error != paNoError) {
    stream_ = nullptr;
    notify_ = nullptr;
    Pa_Terminate();
    return kWaveError;
  }
  notify_->Post({kWaveOutOpen, 0, 0});
  return kWaveOk;
}

uint32_t PortAudioWaveOut::PrepareHeader(WaveHeader* header) {
  header->flags |= kHeaderPrepared;
  return kWaveOk;
}

uint32_t PortAudioWaveOut::Write(WaveHeader* header) {
  if ((header->flags & kHeaderPrepared) == 0) return kUnprepared;
  header->flags = (header->flags & ~kHeaderDone) | kHeaderInQueue;
  return written_.TryPush(header) ? kWaveOk : kWaveNoMemory;
}

uint32_t PortAudioWaveOut::UnprepareHeader(WaveHeader* header) {
  if ((header->flags & kHeaderInQueue) != 0) return kStillPlaying;
  header->flags &= ~kHeaderPrepared;
  return kWaveOk;
}

void PortAudioWaveOut::Close() {
  if (stream_ == nullptr) return;
  // Returns once the callback has run for the last time.
  Pa_StopStream(stream_);
  Pa_CloseStream(stream_);
  stream_ = nullptr;
  notify_ = nullptr;
  QuietStderr quiet;
  Pa_Terminate();
}

int PortAudioWaveOut::StreamCallback(const void*, void* output, unsigned long frameCount,
                                     const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* device) {
  static_cast<PortAudioWaveOut*>(device)->Play(static_cast<char*>(output), frameCount * 4);
  return paContinue;
}

void PortAudioWaveOut::Play(char* output, unsigned long bytes) {
  while (bytes > 0) {
    if (playing_ == nullptr) {
      if (!written_.TryPop(playing_)) {
        // Nothing queued: silence until the next buffer arrives.
        std::memset(output, 0, bytes);
        return;
      }
      playedBytes_ = 0;
    }
    const unsigned long left = playing_->bufferLength - playedBytes_;
    const unsigned long chunk = left < bytes ? left : bytes;
    std::memcpy(output, playing_->data + playedBytes_, chunk);
    output += chunk;
    bytes -= chunk;
    playedBytes_ += static_cast<uint32_t>(chunk);
    if (playedBytes_ == playing_->bufferLength) {
      WaveHeader* done = playing_;
      playing_ = nullptr;
      done->flags = (done->flags & ~kHeaderInQueue) | kHeaderDone;
      // The header belongs to the playback thread from here on.
      notify_->Post({kWaveOutDone, 0, reinterpret_cast<intptr_t>(done)});
    }
  }
}

PortAudioWaveOut& DefaultPortAudioWaveOut() {
  static PortAudioWaveOut device;
  return device;
}
