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
  const ChunkPlan& p = chunkPlan;
  const WordRecord* captures = p.capture + unit.firstCapture;
  for (int32_t c = 0; c < unit.captureCount; ++c) captures[c].record[0] = DspMemory.Load(captures[c].word);
  // Before the first frame the outside words read as they stood before the chunk.
  const WordRecord* replays = p.cycleCopy + unit.firstReplay;
  for (int32_t r = 0; r < unit.replayCount; ++r) DspMemory.Store(replays[r].word, replays[r].record[0]);

  const CycleOp* ops = p.cycleOp + unit.first;
  for (int32_t f = 0; f < frames; ++f) {
    for (int32_t o = 0; o < unit.count; ++o) {
      const CycleOp& op = ops[o];
      if (op.step != nullptr) {
        op.step(BlockView{op.block}, signals.noise[f], signals.left[f], signals.right[f]);
        continue;
      }
      for (const WordRecord* copy = p.cycleCopy + op.firstCopy; copy != p.cycleCopy + op.firstCopy + op.copyCount; ++copy)
        DspMemory.Store(copy->word, copy->record[1 + f]);
    }
    for (int32_t c = 0; c < unit.captureCount; ++c) captures[c].record[1 + f] = DspMemory.Load(captures[c].word);
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
      KernelFor(lanes[0].opcode, unit.count)(lanes, frames, signals);
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
