#include "dsp/ChunkKernels.h"

#include "dsp/RenderSteps.h"

namespace {

struct LaneState {
  const int32_t* in[kInputCount];
  int32_t* record[kOutputCount];
  std::atomic<int32_t>* words;
  int32_t ctl[kControllerCount];
  int32_t out[kOutputCount];
  int32_t state[kStepStateWords];
  int32_t rangeShift, bufferNumber;
};

// The view a step sees in a chunk: its own controllers, outputs and state
// from the lane, its inputs from the records at frame f. word() reads the
// block words no step writes: the range shift and the buffer number as they
// stood when the chunk began, like the controllers, the sequencer's steps live.
struct LaneView {
  LaneState* s;
  int32_t f;

  int32_t ctl(int32_t c) const { return s->ctl[c]; }
  void setCtl(int32_t c, int32_t v) const { s->ctl[c] = v; }
  int32_t in(int32_t k) const { return s->in[k][f]; }
  int32_t out(int32_t o) const { return s->out[o]; }
  void setOut(int32_t o, int32_t v) const { s->out[o] = v; }
  int32_t state(int32_t k) const { return s->state[k]; }
  void setState(int32_t k, int32_t v) const { s->state[k] = v; }
  int32_t word(int32_t offset) const {
    if (offset == BlockWord::kRangeShift) return s->rangeShift;
    if (offset == BlockWord::kBufferNumber) return s->bufferNumber;
    return s->words[offset].load(std::memory_order_relaxed);
  }
};

// Recorded: the outputs kept per frame. Most blocks are read, if at all, on
// output 0 only; their kernels record nothing else.
template <int32_t Op, uint32_t Recorded>
void LoadLane(LaneState& s, const KernelLane& lane) {
  s.words = &DspMemory.word[lane.block];
  for (int32_t c = 0; c < kControllerCount; ++c) s.ctl[c] = s.words[BlockWord::kController + c].load(std::memory_order_relaxed);
  for (int32_t o = 0; o < kOutputCount; ++o) s.out[o] = s.words[BlockWord::kOutput + o].load(std::memory_order_relaxed);
  for (int32_t k = 0; k < kStepStateWords; ++k) s.state[k] = s.words[BlockWord::kState + k].load(std::memory_order_relaxed);
  s.rangeShift = s.words[BlockWord::kRangeShift].load(std::memory_order_relaxed);
  s.bufferNumber = s.words[BlockWord::kBufferNumber].load(std::memory_order_relaxed);
  for (int32_t k = 0; k < kInputCount; ++k) s.in[k] = *lane.input[k].data + lane.input[k].offset;
  for (int32_t o = 0; o < kOutputCount; ++o) {
    s.record[o] = lane.record[o];
    if ((Recorded >> o) & 1) s.record[o][0] = s.out[o];
  }
}

template <uint32_t Recorded>
void RecordFrame(const LaneState& s, int32_t f) {
  for (int32_t o = 0; o < kOutputCount; ++o)
    if ((Recorded >> o) & 1) s.record[o][1 + f] = s.out[o];
}

// A block whose type the editor is rewriting (its opcode moved since the
// plan) keeps the words the editor stores; the chunk's results are dropped.
template <int32_t Op>
void StoreLane(const LaneState& s, const KernelLane& lane) {
  if (s.words[BlockWord::kOpcode].load(std::memory_order_relaxed) != lane.opcode) return;
  for (int32_t o = 0; o < kOutputCount; ++o)
    if ((OutputsWrittenBy(Op) >> o) & 1) s.words[BlockWord::kOutput + o].store(s.out[o], std::memory_order_relaxed);
  for (int32_t k = 0; k < kStepStateWords; ++k) s.words[BlockWord::kState + k].store(s.state[k], std::memory_order_relaxed);
  if constexpr (WritesControllerFive(Op)) s.words[BlockWord::kController + 5].store(s.ctl[5], std::memory_order_relaxed);
}

// Flattened: the step, its helpers and the lane loop become one loop body,
// with the lanes' words in registers.
template <int32_t Op, int32_t Lanes, bool RecordAll>
[[gnu::flatten]] void RunKernel(const KernelLane* lanes, int32_t frames, ChunkSignals& signals) {
  constexpr uint32_t kRecorded = OutputsWrittenBy(Op) & (RecordAll ? 0b11111 : 0b00001);
  LaneState s[Lanes];
  for (int32_t i = 0; i < Lanes; ++i) LoadLane<Op, kRecorded>(s[i], lanes[i]);
  for (int32_t f = 0; f < frames; ++f) {
    const int32_t noise = signals.noise[f];
#pragma GCC unroll 4
    for (int32_t i = 0; i < Lanes; ++i) {
      RunStep<Op>(LaneView{&s[i], f}, noise, signals.left[f], signals.right[f]);
      RecordFrame<kRecorded>(s[i], f);
    }
  }
  for (int32_t i = 0; i < Lanes; ++i) StoreLane<Op>(s[i], lanes[i]);
}

struct KernelSet {
  ChunkKernel byLanes[2][3];  // output 0 recorded or all; 1, 2, 4 lanes
};

template <int32_t Op>
struct Kernels {
  static constexpr KernelSet value{{{RunKernel<Op, 1, false>, RunKernel<Op, 2, false>, RunKernel<Op, 4, false>},
                                    {RunKernel<Op, 1, true>, RunKernel<Op, 2, true>, RunKernel<Op, 4, true>}}};
};

struct KernelTable {
  KernelSet set[kOpcodeLimit]{};
  constexpr KernelTable() { FillStepTable<KernelSet, Kernels>(set, std::make_integer_sequence<int32_t, kOpcodeLimit>{}); }
};
constexpr KernelTable kKernels;

}  // namespace

ChunkKernel KernelFor(int32_t opcode, int32_t laneCount, bool recordAll) {
  const int32_t index = laneCount >= 4 ? 2 : laneCount - 1;
  return kKernels.set[opcode].byLanes[recordAll][index];
}
