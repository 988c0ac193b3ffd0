// The chunked render loop: one walk of the render graph per chunk of up to
// kChunkFrames frames, the plan's units run in order over the whole chunk.
#include "dsp/ChunkPlan.h"
#include "dsp/FixedPoint.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderPaths.h"
#include "dsp/RenderWalk.h"

namespace {

ChunkSignals signals;

// Constant inputs read their word once per chunk: an edit is heard from the
// next chunk on, as a rewire is.
void RefreshConstants() {
  for (int32_t c = 0; c < chunkPlan.constantCount; ++c) {
    ConstantSlot& slot = chunkPlan.constant[c];
    const int32_t value = DspMemory.Load(slot.word);
    if (value == 0) {
      slot.data = kZeroFrames;
    } else if (slot.data == kZeroFrames || slot.value != value) {
      for (int32_t& frame : slot.buffer) frame = value;
      slot.value = value;
      slot.data = slot.buffer;
    }
  }
}

void RunCycle(const PlanUnit& unit, int32_t frames) {
  const WordRecord* const captures = chunkPlan.capture + unit.firstCapture;
  const WordRecord* const capturesEnd = captures + unit.captureCount;
  for (const WordRecord* c = captures; c != capturesEnd; ++c) c->record[0] = DspMemory.Load(c->word);
  const CycleOp* const ops = chunkPlan.cycleOp + unit.first;
  const CycleOp* const opsEnd = ops + unit.count;
  // Before the first frame the outside words read as they stood before the chunk.
  for (const CycleOp* op = ops; op != opsEnd; ++op)
    if (op->step == nullptr) op->word->store(op->record[0], std::memory_order_relaxed);

  for (int32_t f = 0; f < frames; ++f) {
    const int32_t noise = signals.noise[f];
    int32_t left = signals.left[f], right = signals.right[f];
    for (const CycleOp* op = ops; op != opsEnd; ++op) {
      if (op->step != nullptr) op->step(BlockView{op->block}, noise, left, right);
      else op->word->store(op->record[1 + f], std::memory_order_relaxed);
    }
    signals.left[f] = left;
    signals.right[f] = right;
    for (const WordRecord* c = captures; c != capturesEnd; ++c) c->record[1 + f] = DspMemory.Load(c->word);
  }
}

void RunUnits(int32_t frames) {
  const ChunkPlan& p = chunkPlan;
  for (int32_t u = 0; u < p.unitCount; ++u) {
    const PlanUnit& unit = p.unit[u];
    if (unit.cyclic) {
      RunCycle(unit, frames);
    } else {
      const KernelLane* lanes = p.lane + unit.first;
      KernelFor(lanes[0].opcode, unit.count, lanes[0].recordAll)(lanes, frames, signals);
    }
  }
}

}  // namespace

void RenderChunk(int16_t* buffer, int32_t frames) {
  const uint32_t version = BeginFrameWalk();
  if (!renderProgram.built || version != renderProgram.version) RebuildProgram(version);
  if (!chunkPlan.built || chunkPlan.programSerial != renderProgram.serial || !PlanMatchesInputs()) BuildChunkPlan();
  if (!chunkPlan.chunked) {
    EndFrameWalk(version);
    RenderFrameByFrame(buffer, frames);
    return;
  }

  for (int32_t f = 0; f < frames; ++f) {
    signals.noise[f] = noiseGenerator.Advance();
    signals.left[f] = 0;
    signals.right[f] = 0;
  }
  RefreshConstants();
  RunUnits(frames);
  EndFrameWalk(version);

  // No clipping: a sum beyond 16 bits after the shift wraps around.
  for (int32_t f = 0; f < frames; ++f) {
    buffer[2 * f] = fx::Int16(fx::Sar(signals.left[f], 13));
    buffer[2 * f + 1] = fx::Int16(fx::Sar(signals.right[f], 13));
  }
  leftSum = signals.left[frames - 1];
  rightSum = signals.right[frames - 1];
}
