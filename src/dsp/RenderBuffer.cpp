#include "dsp/RenderBuffer.h"

#include <algorithm>
#include <atomic>

#include "dsp/ChunkKernels.h"
#include "dsp/FixedPoint.h"
#include "dsp/RenderPaths.h"
#include "dsp/RenderProgram.h"
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

std::atomic<RenderPath> renderPath{RenderPath::Chunked};

void RunProgram(int32_t noiseValue) {
  // The end is taken once: the steps cannot change the program.
  const ProgramEntry* const end = renderProgram.entry + renderProgram.length;
  for (const ProgramEntry* entry = renderProgram.entry; entry != end; ++entry)
    entry->step(BlockView{entry->block}, noiseValue, leftSum, rightSum);
}

}  // namespace

void SetRenderPath(RenderPath path) { renderPath.store(path, std::memory_order_relaxed); }
RenderPath CurrentRenderPath() { return renderPath.load(std::memory_order_relaxed); }

void RenderBlock(int32_t block, int32_t opcode, int32_t noiseValue) {
  if (const StepFunction step = StepFor(opcode)) step(BlockView{block}, noiseValue, leftSum, rightSum);
}

void RenderFrameByFrame(int16_t* buffer, int32_t frameCount) {
  for (int32_t frame = 0; frame < frameCount; ++frame) {
    leftSum = 0;
    rightSum = 0;
    const int32_t noiseValue = noiseGenerator.Advance();
    const uint32_t version = BeginFrameWalk();
    if (!renderProgram.built || version != renderProgram.version) RebuildProgram(version);
    RunProgram(noiseValue);
    EndFrameWalk(version);
    // No clipping: a sum beyond 16 bits after the shift wraps around.
    buffer[2 * frame] = fx::Int16(fx::Sar(leftSum, 13));
    buffer[2 * frame + 1] = fx::Int16(fx::Sar(rightSum, 13));
  }
}

void RenderFrames(int16_t* buffer, int32_t frameCount) {
  BeginRenderPass();
  if (CurrentRenderPath() == RenderPath::FrameByFrame) {
    RenderFrameByFrame(buffer, frameCount);
  } else {
    for (int32_t done = 0; done < frameCount; done += kChunkFrames)
      RenderChunk(buffer + 2 * done, std::min(kChunkFrames, frameCount - done));
  }
  EndRenderPass();
}

void RenderBuffer(int16_t* buffer) { RenderFrames(buffer, kFramesPerBuffer); }
