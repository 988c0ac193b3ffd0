// Render cost of the engine: the full 104-module patch, and one module kind at
// a time. Reported per block-frame and as seconds of audio per second of
// rendering.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "BenchPatch.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"

namespace {

// Renders buffers for as long as the benchmark asks and reports wall-clock
// rates: nanoseconds per block and frame, and seconds of audio per second.
void RenderAndReport(benchmark::State& state, int32_t blocks) {
  std::vector<int16_t> buffer(2 * kFramesPerBuffer);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    RenderBuffer(buffer.data());
    benchmark::DoNotOptimize(buffer.data());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double buffers = static_cast<double>(state.iterations());
  state.counters["ns_per_block_frame"] = seconds * 1e9 / (buffers * blocks * kFramesPerBuffer);
  state.counters["x_realtime"] = buffers * kFramesPerBuffer / kSampleRate / seconds;
}

void FullPatch(benchmark::State& state) {
  const int32_t blocks = BuildFullPatch();
  if (blocks != kFullPatchBlocks) state.SkipWithError("the full patch must have 104 blocks");
  RenderAndReport(state, blocks);
}
BENCHMARK(FullPatch)->Unit(benchmark::kMicrosecond);

// 64 blocks of one kind plus their two driving oscillators.
void ModuleKind(benchmark::State& state) {
  constexpr int32_t kCount = 64;
  const auto opcode = static_cast<int32_t>(state.range(0));
  BuildSingleKindPatch(opcode, kCount);
  RenderAndReport(state, kCount + 2);
}

struct Kind {
  const char* name;
  int32_t opcode;
};
constexpr Kind kKinds[] = {
    {"OSC_sine", Opcode::kOscillatorFirst},  {"OSC_square", Opcode::kOscillatorFirst + 4},
    {"OSC_noise", Opcode::kOscillatorFirst + 5}, {"VCF", Opcode::kVCF},
    {"FLT_bandpass", Opcode::kFilterFirst + 2}, {"VCA", Opcode::kVCA},
    {"ADD", Opcode::kADD},                  {"MUL", Opcode::kMUL},
    {"CLP", Opcode::kCLP},                  {"MIX", Opcode::kMIX},
    {"ENV", Opcode::kENV},                  {"SH", Opcode::kSampleHold},
    {"GLI", Opcode::kGLI},                  {"SWI", Opcode::kSWI},
    {"SEQ", Opcode::kSEQ},                  {"CNT", Opcode::kCNT},
    {"DLY", Opcode::kDLY},                  {"FLA", Opcode::kFLA},
    {"DRM", Opcode::kDRM},                  {"OUT", Opcode::kOUT},
    {"none", 0},
};

const bool kRegistered = [] {
  for (const Kind& kind : kKinds)
    benchmark::RegisterBenchmark((std::string("ModuleKind/") + kind.name).c_str(), ModuleKind)
        ->Arg(kind.opcode)
        ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace
