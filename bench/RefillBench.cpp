// The playback thread's work per buffer: RefillBuffer on the full patch, as a
// fraction of the 92.9 ms that one buffer plays.
#include <benchmark/benchmark.h>

#include <chrono>

#include "BenchPatch.h"
#include "BenchReport.h"
#include "audio/AudioOutput.h"
#include "dsp/RenderBuffer.h"

namespace {

// Takes every buffer and never reports one done, so that the benchmark
// drives RefillBuffer itself while the playback thread sleeps.
class SilentDevice final : public WaveOutDevice {
 public:
  uint32_t Open(const WaveFormat&, ThreadMessageQueue*) override { return kWaveOk; }
  uint32_t PrepareHeader(WaveHeader* header) override {
    header->flags |= kHeaderPrepared;
    return kWaveOk;
  }
  uint32_t Write(WaveHeader*) override { return kWaveOk; }
  uint32_t UnprepareHeader(WaveHeader* header) override {
    header->flags &= ~kHeaderPrepared;
    return kWaveOk;
  }
  void Close() override {}
};

void RefillBufferFullPatch(benchmark::State& state) {
  if (BuildFullPatch() != kFullPatchBlocks) state.SkipWithError("the full patch must have 104 blocks");
  SilentDevice device;
  SetWaveOutDevice(&device);
  StartAudio(nullptr);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) RefillBuffer();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  StopAudio();
  SetWaveOutDevice(nullptr);
  const double bufferSeconds = static_cast<double>(kFramesPerBuffer) / kSampleRate;
  state.counters["fraction_of_buffer_time"] = seconds / static_cast<double>(state.iterations()) / bufferSeconds;
  ReportRenderRates(state, kFullPatchBlocks, seconds);
}
BENCHMARK(RefillBufferFullPatch)->Unit(benchmark::kMicrosecond);

}  // namespace
