// Runs blocks of one kind over a chunk of frames with their words held in
// registers: each block reads its inputs from per-frame records of the
// chunk, records each output it writes after every frame, and stores its
// words back into DspMemory when the chunk ends. Up to four independent
// blocks of one kind run side by side, frame by frame, so that the serial
// chains of recursive steps (filters, glides, envelopes) overlap.
#pragma once

#include <cstdint>

#include "dsp/DspMemory.h"

// 96 frames, 2.2 ms: an edit is heard within that, far inside one 93 ms
// buffer. Measured on the full patch: 26.4 instructions per block-frame
// against 27.6 at 64 frames and 1.61 ns against 1.69 (Pure Data's 64-sample
// blocks: 1.67).
inline constexpr int32_t kChunkFrames = 96;
// A word's record over a chunk: [0] holds it before the chunk, [1 + f] after frame f.
inline constexpr int32_t kRecordLength = kChunkFrames + 1;

// Where an input reads frame f: (*data)[offset + f]. The data pointer is
// looked up when a chunk starts, so a constant may move between buffers.
struct InputSource {
  const int32_t* const* data;
  int32_t offset;
};

struct KernelLane {
  int32_t block;
  int32_t opcode;
  InputSource input[kInputCount];
  int32_t* record[kOutputCount];  // for each output the step writes; a scratch record when no one reads it
  bool recordAll;                 // an output other than 0 is read: the kernel records them all
};

struct ChunkSignals {
  int32_t noise[kChunkFrames];
  int32_t left[kChunkFrames];
  int32_t right[kChunkFrames];
};

using ChunkKernel = void (*)(const KernelLane* lanes, int32_t frames, ChunkSignals& signals);

// laneCount 1, 2 or 4; opcode one with a step. Lanes of one kernel agree on recordAll.
ChunkKernel KernelFor(int32_t opcode, int32_t laneCount, bool recordAll);
