// Render cost of the engine: the full 104-module patch, and one module kind at
// a time. Reported per block-frame and as seconds of audio per second of
// rendering.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "BenchPatch.h"
#include "BenchReport.h"
#include "dsp/ChunkPlan.h"
#include "dsp/RenderBuffer.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"

namespace {

// Renders buffers for as long as the benchmark asks and reports wall-clock
// rates: nanoseconds per block and frame, and seconds of audio per second.
void RenderAndReport(benchmark::State& state, int32_t blocks) {
  std::vector<int16_t> buffer(2 * kFramesPerBuffer);
  const RenderPlanSummary plan = InspectRenderPlan();
  state.counters["kernel_blocks"] = plan.chunked && CurrentRenderPath() == RenderPath::Chunked ? plan.kernelBlocks : 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    RenderBuffer(buffer.data());
    benchmark::DoNotOptimize(buffer.data());
  }
  ReportRenderRates(state, blocks, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The full patch in each shape, on the chunked path and on the frame-by-frame
// reference, so that one run measures their ratio.
void FullPatch(benchmark::State& state, PatchShape shape, RenderPath path) {
  const int32_t blocks = BuildFullPatch(shape);
  if (blocks != kFullPatchBlocks) state.SkipWithError("the full patch must have 104 blocks");
  SetRenderPath(path);
  RenderAndReport(state, blocks);
  SetRenderPath(RenderPath::Chunked);
}
BENCHMARK_CAPTURE(FullPatch, , PatchShape::AsPlayed, RenderPath::Chunked)->Name("FullPatch")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPatch, , PatchShape::AsPlayed, RenderPath::FrameByFrame)
    ->Name("FullPatchFrameByFrame")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPatch, , PatchShape::Chains, RenderPath::Chunked)->Name("FullPatchChains")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPatch, , PatchShape::Chains, RenderPath::FrameByFrame)
    ->Name("FullPatchChainsFrameByFrame")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPatch, , PatchShape::Feedback, RenderPath::Chunked)->Name("FullPatchFeedback")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPatch, , PatchShape::Feedback, RenderPath::FrameByFrame)
    ->Name("FullPatchFeedbackFrameByFrame")->Unit(benchmark::kMicrosecond);

// 64 blocks of one kind (4 of DLY or FLA) plus their two driving oscillators.
void ModuleKind(benchmark::State& state) {
  const auto opcode = static_cast<int32_t>(state.range(0));
  // DLY and FLA own a delay buffer each, and there are four: more would share
  // them, which the chunked loop leaves to the frame-by-frame path.
  const int32_t count = UsesDelayBuffer(opcode) ? kDelayBufferCount : 64;
  BuildSingleKindPatch(opcode, count);
  RenderAndReport(state, count + 2);
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
