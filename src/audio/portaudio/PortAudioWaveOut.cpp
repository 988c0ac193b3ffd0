#include "audio/portaudio/PortAudioWaveOut.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kUnprepared = 34;    // WAVERR_UNPREPARED
constexpr uint32_t kStillPlaying = 33;  // WAVERR_STILLPLAYING

void DiscardAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// ALSA reports every card it cannot find and JACK every server it cannot
// reach, straight to stderr, while PortAudio looks for devices. On a machine
// without sound that is a screenful of noise, so stderr goes to a file of
// its own while PortAudio initialises and opens. The text is not lost: it is
// replayed when initialisation fails, and from a SIGABRT handler when
// PortAudio gives up with an assertion, which would otherwise end the
// process without a word. ALSA's own reports go through its error handler,
// which stays silent for good.
int replayTerminal = -1;  // the real stderr while a capture runs
int replayCapture = -1;   // the file that holds what was written meanwhile

// Async-signal-safe: only dup2, pread and write.
void ReplayCapturedText() {
  if (replayTerminal < 0 || replayCapture < 0) return;
  dup2(replayTerminal, STDERR_FILENO);
  char text[4096];
  off_t offset = 0;
  for (ssize_t got; (got = pread(replayCapture, text, sizeof text, offset)) > 0; offset += got) {
    if (write(STDERR_FILENO, text, static_cast<size_t>(got)) < 0) break;
  }
}

void ReplayOnAbort(int) { ReplayCapturedText(); }  // abort() then ends the process as it would have

class CapturedStderr {
 public:
  CapturedStderr() {
    std::fflush(stderr);
    std::FILE* capture = std::tmpfile();
    terminal_ = dup(STDERR_FILENO);
    if (capture == nullptr || terminal_ < 0) {
      if (capture != nullptr) std::fclose(capture);
      return;
    }
    capture_ = capture;
    replayTerminal = terminal_;
    replayCapture = fileno(capture_);
    struct sigaction action {};
    action.sa_handler = ReplayOnAbort;
    sigemptyset(&action.sa_mask);
    sigaction(SIGABRT, &action, &previousAbort_);
    dup2(replayCapture, STDERR_FILENO);
  }
  ~CapturedStderr() {
    std::fflush(stderr);
    if (capture_ != nullptr) {
      dup2(terminal_, STDERR_FILENO);
      sigaction(SIGABRT, &previousAbort_, nullptr);
      replayTerminal = replayCapture = -1;
      std::fclose(capture_);
    }
    if (terminal_ >= 0) close(terminal_);
  }
  CapturedStderr(const CapturedStderr&) = delete;
  CapturedStderr& operator=(const CapturedStderr&) = delete;

  // Puts what was captured on the real stderr, where it stays.
  void Replay() {
    std::fflush(stderr);
    ReplayCapturedText();
  }

 private:
  int terminal_ = -1;
  std::FILE* capture_ = nullptr;
  struct sigaction previousAbort_ {};
};

// An ALSA without any PCM definition (a missing or broken configuration
// file) leaves PortAudio's device scan to fail an assertion; such a system
// has no device to open, and that can be seen before PortAudio looks.
bool AlsaKnowsPcmDevices() {
  snd_config_t* pcm = nullptr;
  return snd_config_update() >= 0 && snd_config != nullptr && snd_config_search(snd_config, "pcm", &pcm) == 0;
}

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

  CapturedStderr quiet;
  if (!AlsaKnowsPcmDevices()) return kWaveBadDevice;
  if (Pa_Initialize() != paNoError) {
    quiet.Replay();
    return kWaveError;
  }
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
  notices_.Clear();
  // Posted by the first callback: from here on only that thread touches
  // the kept notices.
  notices_.Keep({kWaveOutOpen, 0, 0});
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
  CapturedStderr quiet;
  Pa_Terminate();
}

int PortAudioWaveOut::StreamCallback(const void*, void* output, unsigned long frameCount,
                                     const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* device) {
  static_cast<PortAudioWaveOut*>(device)->Play(static_cast<char*>(output), frameCount * 4);
  return paContinue;
}

void PortAudioWaveOut::Play(char* output, unsigned long bytes) {
  notices_.Retry(*notify_);
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
      notices_.Post(*notify_, {kWaveOutDone, 0, reinterpret_cast<intptr_t>(done)});
    }
  }
}

PortAudioWaveOut& DefaultPortAudioWaveOut() {
  static PortAudioWaveOut device;
  return device;
}
