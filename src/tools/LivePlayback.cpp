#include <signal.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "audio/AudioOutput.h"
#include "audio/portaudio/PortAudioWaveOut.h"
#include "dsp/RenderBuffer.h"
#include "tools/OfflineRender.h"

namespace {

// Ctrl-C and termination are blocked before any thread starts, so every
// thread inherits the mask and only this loop takes them, with sigtimedwait.
// A signal handled on PortAudio's own thread interrupts its wait on the
// device, and the stream then never stops.
sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

// Sleeps up to `milliseconds`; the stop signal that came, or 0.
int StopRequested(const sigset_t& signals, long milliseconds) {
  const timespec timeout{0, milliseconds * 1000000L};
  const int signal = sigtimedwait(&signals, nullptr, &timeout);
  return signal > 0 ? signal : 0;
}

}  // namespace

int PlayLoadedPatch(const RenderOptions& options, bool showElapsed) {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  SetWaveOutDevice(&DefaultPortAudioWaveOut());
  StartAudio(nullptr);
  // StartAudio has shown why (no device, no memory); nothing plays.
  if (waveDevice == nullptr) {
    StopAudio();
    return 1;
  }

  const double limit = static_cast<double>(options.frames) / kSampleRate;
  const auto start = std::chrono::steady_clock::now();
  int stopSignal = 0;
  for (;;) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (showElapsed) {
      if (options.playForever) {
        std::fprintf(stderr, "\rplaying %s  %7.1f s  (Ctrl-C stops)", options.patchPath.c_str(), elapsed);
      } else {
        std::fprintf(stderr, "\rplaying %s  %7.1f / %.1f s", options.patchPath.c_str(), elapsed, limit);
      }
      std::fflush(stderr);
    }
    if (!options.playForever && elapsed >= limit) break;
    stopSignal = StopRequested(signals, 50);
    if (stopSignal != 0) break;
  }
  if (showElapsed) std::fputc('\n', stderr);
  StopAudio();
  if (stopSignal == 0) return 0;
  // Interrupted, like any program stopped by the signal, but after an orderly stop.
  std::fprintf(stderr, "varnotek-render: interrupted by %s; playback stopped\n",
               stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
  return 128 + stopSignal;
}
