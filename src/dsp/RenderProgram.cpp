#include "dsp/RenderProgram.h"

#include "dsp/DspMemory.h"
#include "dsp/RenderSteps.h"

RenderProgram renderProgram;

namespace {

// Flattened, so that each opcode's step is one function with its mode
// (waveform, filter mode) folded in.
template <int32_t Op>
struct LiveStep {
  [[gnu::flatten]] static void Run(BlockView b, int32_t noiseValue, int32_t& left, int32_t& right) {
    RunStep<Op>(b, noiseValue, left, right);
  }
  static constexpr StepFunction value = Run;
};

struct StepTable {
  StepFunction step[kOpcodeLimit]{};
  constexpr StepTable() {
    FillStepTable<StepFunction, LiveStep>(step, std::make_integer_sequence<int32_t, kOpcodeLimit>{});
  }
};
constexpr StepTable kSteps;

}  // namespace

StepFunction StepFor(int32_t opcode) {
  return (opcode >= 0 && opcode < kOpcodeLimit) ? kSteps.step[opcode] : nullptr;
}

void RebuildProgram(uint32_t version) {
  RenderProgram& p = renderProgram;
  p.length = 0;
  int32_t block = RenderListHead.load(std::memory_order_acquire);
  // A list longer than the memory holds can only be a broken one; stop there.
  for (int32_t visited = 0; block >= 0 && visited < kDspBlockCount; ++visited) {
    const int32_t opcode = DspMemory.LoadAcquire(block + BlockWord::kOpcode);
    if (const StepFunction step = StepFor(opcode)) p.entry[p.length++] = {block, opcode, step};
    block = DspMemory.LoadAcquire(block + BlockWord::kNext);
  }
  p.version = version;
  ++p.serial;
  p.built = true;
}
