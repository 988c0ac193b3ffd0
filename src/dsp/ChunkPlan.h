// The analysis behind the chunked render loop. From the program and the
// blocks' input words it derives who reads whom: a reader of a block earlier
// in the program sees this frame's value, of a later one (or of itself) the
// last frame's. The program is cut into strongly connected parts; a part
// without a cycle runs as a kernel over the whole chunk (ChunkKernels.h), a
// part with one runs frame by frame among its own blocks. Parts run in an
// order where every writer comes before its readers.
//
// The whole program stays on the frame-by-frame path when the analysis
// cannot prove a chunk exact: an input that reads a state word or a
// step-written controller of a block in the program, two DLY/FLA blocks on
// one delay buffer, a block listed twice. Audio thread only.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/ChunkKernels.h"
#include "dsp/RenderProgram.h"

// A part with a cycle, run frame by frame: its blocks' steps on their live
// words, and at the program position of every block outside the part that
// it reads, a replay that stores that block's recorded outputs of the frame
// into DspMemory. After each frame the part's outputs that other parts read
// are recorded.
struct WordRecord {
  int32_t word;
  int32_t* record;
};
struct CycleOp {
  int32_t block;       // the step's block
  StepFunction step;   // or nullptr for a replay:
  std::atomic<int32_t>* word;  // the outside output it stores
  const int32_t* record;       // from its record
};

struct PlanUnit {
  bool cyclic;
  int32_t first, count;  // lanes (kernel) or cycle ops (cyclic)
  int32_t firstCapture, captureCount;  // cyclic: outputs recorded after each frame
};

// A chunk's worth of zeros: what most constant inputs (the zero slots) read.
extern const int32_t kZeroFrames[kChunkFrames];

struct ConstantSlot {
  int32_t word;
  int32_t value;
  const int32_t* data;  // kZeroFrames, or buffer once filled with value
  int32_t buffer[kChunkFrames];
};

struct ChunkPlan {
  bool chunked = false;
  uint32_t programSerial = 0;
  bool built = false;
  int32_t inputWord[kDspBlockCount][kInputCount];  // per program entry, masked as the steps read them

  PlanUnit unit[kDspBlockCount];
  int32_t unitCount = 0;
  KernelLane lane[kDspBlockCount];
  CycleOp cycleOp[kDspBlockCount * (kInputCount + 1)];
  WordRecord capture[kDspBlockCount * kOutputCount];
  int32_t constantCount = 0;
  ConstantSlot constant[kDspBlockCount * kInputCount];
};

extern ChunkPlan chunkPlan;

// Analyses renderProgram as it stands.
void BuildChunkPlan();
// Whether every input word still holds what the plan was built on.
bool PlanMatchesInputs();

// What the analysis made of the program, for tests and benchmarks.
struct RenderPlanSummary {
  bool chunked;
  int32_t kernelBlocks;  // blocks run as kernels
  int32_t cyclicParts;   // parts run frame by frame
  int32_t cyclicBlocks;
  int32_t units;
};
// Rebuilds the program and the plan from DspMemory now; not while rendering.
RenderPlanSummary InspectRenderPlan();
