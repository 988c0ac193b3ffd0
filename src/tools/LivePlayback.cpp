#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "audio/AudioOutput.h"
#include "audio/portaudio/PortAudioWaveOut.h"
#include "dsp/RenderBuffer.h"
#include "tools/OfflineRender.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;
void Interrupt(int) { interrupted = 1; }

}  // namespace

int PlayLoadedPatch(const RenderOptions& options, bool showElapsed) {
  std::signal(SIGINT, Interrupt);
  std::signal(SIGTERM, Interrupt);

  SetWaveOutDevice(&DefaultPortAudioWaveOut());
  StartAudio(nullptr);
  // StartAudio has shown why (no device, no memory); nothing plays.
  if (waveDevice == nullptr) {
    StopAudio();
    return 1;
  }

  const double limit = static_cast<double>(options.frames) / kSampleRate;
  const auto start = std::chrono::steady_clock::now();
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
    if (interrupted || (!options.playForever && elapsed >= limit)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (showElapsed) std::fputc('\n', stderr);
  StopAudio();
  return 0;
}
