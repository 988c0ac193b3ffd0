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

void RenderBlock(int32_t block, int32_t opcode, int32_t noiseValue) {
  const BlockView b{block};
  switch (opcode) {
    case Opcode::kVCF: RenderVCF(b); break;
    case Opcode::kVCA: RenderVCA(b); break;
    case Opcode::kADD: RenderADD(b); break;
    case Opcode::kMUL: RenderMUL(b); break;
    case Opcode::kENV: RenderENV(b); break;
    case Opcode::kSampleHold: RenderSampleHold(b); break;
    case Opcode::kGLI: RenderGLI(b); break;
    case Opcode::kSWI: RenderSWI(b); break;
    case Opcode::kSEQ: RenderSEQ(b); break;
    case Opcode::kDRM: RenderDRM(b); break;
    case Opcode::kCNT: RenderCNT(b); break;
    case Opcode::kCLP: RenderCLP(b); break;
    case Opcode::kDLY: RenderDLY(b); break;
    case Opcode::kFLA: RenderFLA(b); break;
    case Opcode::kMIX: RenderMIX(b); break;
    case Opcode::kOUT: RenderOUT(b, leftSum, rightSum); break;
    case Opcode::kOscillatorFirst + 0:
    case Opcode::kOscillatorFirst + 1:
    case Opcode::kOscillatorFirst + 2:
    case Opcode::kOscillatorFirst + 3:
    case Opcode::kOscillatorFirst + 4:
    case Opcode::kOscillatorFirst + 5:
      RenderOscillator(b, static_cast<Waveform>(opcode - Opcode::kOscillatorFirst), noiseValue);
      break;
    case Opcode::kFilterFirst + 0:
    case Opcode::kFilterFirst + 1:
    case Opcode::kFilterFirst + 2:
      RenderFLT(b, static_cast<FilterMode>(opcode - Opcode::kFilterFirst));
      break;
    default: break;  // 0 while a block is being set up, and every opcode without a step
  }
}

namespace {

void WalkRenderList(int32_t noiseValue) {
  int32_t block = RenderListHead.load(std::memory_order_acquire);
  while (block >= 0) {
    RenderBlock(block, DspMemory.LoadAcquire(block + BlockWord::kOpcode), noiseValue);
    block = DspMemory.LoadAcquire(block + BlockWord::kNext);  // read after the step
  }
}

}  // namespace

void RenderFrames(int16_t* buffer, int32_t frameCount) {
  BeginRenderPass();
  for (int32_t frame = 0; frame < frameCount; ++frame) {
    leftSum = 0;
    rightSum = 0;
    const int32_t noiseValue = noiseGenerator.Advance();
    const uint32_t listVersion = BeginFrameWalk();
    WalkRenderList(noiseValue);
    EndFrameWalk(listVersion);
    // No clipping: a sum beyond 16 bits after the shift wraps around.
    buffer[2 * frame] = fx::Int16(fx::Sar(leftSum, 13));
    buffer[2 * frame + 1] = fx::Int16(fx::Sar(rightSum, 13));
  }
  EndRenderPass();
}

void RenderBuffer(int16_t* buffer) { RenderFrames(buffer, kFramesPerBuffer); }
