// The two rates every render benchmark reports: nanoseconds per block and
// frame, and seconds of audio per second of rendering.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "dsp/RenderBuffer.h"

inline void ReportRenderRates(benchmark::State& state, int32_t blocks, double seconds) {
  const double frames = static_cast<double>(state.iterations()) * kFramesPerBuffer;
  state.counters["ns_per_block_frame"] = seconds * 1e9 / (frames * blocks);
  state.counters["x_realtime"] = frames / kSampleRate / seconds;
}
