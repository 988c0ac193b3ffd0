#include "dsp/ChunkPlan.h"

#include <algorithm>

#include "dsp/RenderWalk.h"
#include "dsp/StepKinds.h"

ChunkPlan chunkPlan;
const int32_t kZeroFrames[kChunkFrames] = {};

namespace {

constexpr int32_t kMaxEdges = kDspBlockCount * kInputCount;
constexpr int32_t kMaxRecords = kDspBlockCount * kOutputCount;
constexpr int32_t kConstant = -1;

int32_t recordFrames[kMaxRecords][kRecordLength];
const int32_t* recordData[kMaxRecords];  // recordFrames[h]: what inputs reading record h look up
int32_t scratchRecord[kRecordLength];    // outputs no other part reads

// Working memory of one analysis, indexed by program entry or by part. Static:
// the analysis runs on the audio thread and must not allocate.
struct Analysis {
  int32_t entryOfBlock[kDspBlockCount];
  int32_t writer[kDspBlockCount][kInputCount];  // program entry whose output the input reads, or kConstant
  int32_t output[kDspBlockCount][kInputCount];
  bool readsItself[kDspBlockCount];
  int32_t record[kDspBlockCount][kOutputCount];  // record of each output read from another part, or -1
  int32_t recordCount;

  // Writer -> reader edges, grouped by writer.
  int32_t edgeStart[kDspBlockCount + 1];
  int32_t edgeTarget[kMaxEdges];

  // Strongly connected parts (Tarjan). Parts are numbered readers first, so
  // descending numbers put every writer before its readers.
  int32_t index[kDspBlockCount], low[kDspBlockCount], part[kDspBlockCount];
  bool onStack[kDspBlockCount];
  int32_t stack[kDspBlockCount], callVertex[kDspBlockCount], callEdge[kDspBlockCount];
  int32_t partCount;
  int32_t memberStart[kDspBlockCount + 1], member[kDspBlockCount];
  int32_t level[kDspBlockCount];
  int32_t order[kDspBlockCount];

  int32_t replayMark[kDspBlockCount][kOutputCount];
  int32_t replayEntry[kMaxEdges], replayOutput[kMaxEdges], replayByWriter[kMaxEdges];
  int32_t fill[kDspBlockCount];
};
Analysis a;

int32_t Load(int32_t word) { return DspMemory.Load(word); }
const ProgramEntry& Entry(int32_t i) { return renderProgram.entry[i]; }
bool Written(int32_t opcode, int32_t o) { return ((OutputsWrittenBy(opcode) >> o) & 1) != 0; }

// Finds the writer of every input; false where the program must run frame by frame.
bool MapWriters(int32_t n) {
  std::fill_n(a.entryOfBlock, kDspBlockCount, -1);
  bool delayBufferTaken[4] = {};
  for (int32_t i = 0; i < n; ++i) {
    const int32_t block = Entry(i).block;
    if ((block & (kBlockWordCount - 1)) != 0 || a.entryOfBlock[block / kBlockWordCount] != -1) return false;
    a.entryOfBlock[block / kBlockWordCount] = i;
    if (UsesDelayBuffer(Entry(i).opcode)) {
      bool& taken = delayBufferTaken[Load(block + BlockWord::kBufferNumber) & 3];
      if (taken) return false;
      taken = true;
    }
  }
  for (int32_t i = 0; i < n; ++i) {
    a.readsItself[i] = false;
    for (int32_t k = 0; k < kInputCount; ++k) {
      const int32_t word = chunkPlan.inputWord[i][k];
      const int32_t j = a.entryOfBlock[word / kBlockWordCount];
      const int32_t offset = word % kBlockWordCount;
      a.writer[i][k] = kConstant;
      if (j < 0) continue;
      const int32_t opcode = Entry(j).opcode;
      const int32_t o = offset - BlockWord::kOutput;
      if (o >= 0 && o < kOutputCount && Written(opcode, o)) {
        a.writer[i][k] = j;
        a.output[i][k] = o;
        if (j == i) a.readsItself[i] = true;
      } else if (offset >= BlockWord::kState && offset < BlockWord::kState + kStepStateWords) {
        return false;
      } else if (offset == BlockWord::kController + 5 && WritesControllerFive(opcode)) {
        return false;
      }
    }
  }
  return true;
}

void BuildEdges(int32_t n) {
  std::fill_n(a.edgeStart, n + 1, 0);
  for (int32_t i = 0; i < n; ++i)
    for (int32_t k = 0; k < kInputCount; ++k)
      if (a.writer[i][k] >= 0 && a.writer[i][k] != i) ++a.edgeStart[a.writer[i][k] + 1];
  for (int32_t i = 0; i < n; ++i) a.edgeStart[i + 1] += a.edgeStart[i];
  std::copy_n(a.edgeStart, n, a.fill);
  for (int32_t i = 0; i < n; ++i)
    for (int32_t k = 0; k < kInputCount; ++k)
      if (a.writer[i][k] >= 0 && a.writer[i][k] != i) a.edgeTarget[a.fill[a.writer[i][k]]++] = i;
}

// Tarjan's algorithm with an explicit call stack.
void FindParts(int32_t n) {
  std::fill_n(a.index, n, -1);
  std::fill_n(a.onStack, n, false);
  int32_t counter = 0, top = 0;
  a.partCount = 0;
  auto visit = [&](int32_t v, int32_t depth) {
    a.index[v] = a.low[v] = counter++;
    a.stack[top++] = v;
    a.onStack[v] = true;
    a.callVertex[depth] = v;
    a.callEdge[depth] = a.edgeStart[v];
  };
  for (int32_t root = 0; root < n; ++root) {
    if (a.index[root] >= 0) continue;
    int32_t depth = 0;
    visit(root, depth++);
    while (depth > 0) {
      const int32_t v = a.callVertex[depth - 1];
      if (a.callEdge[depth - 1] < a.edgeStart[v + 1]) {
        const int32_t w = a.edgeTarget[a.callEdge[depth - 1]++];
        if (a.index[w] < 0) visit(w, depth++);
        else if (a.onStack[w]) a.low[v] = std::min(a.low[v], a.index[w]);
        continue;
      }
      if (a.low[v] == a.index[v]) {
        int32_t w;
        do {
          w = a.stack[--top];
          a.onStack[w] = false;
          a.part[w] = a.partCount;
        } while (w != v);
        ++a.partCount;
      }
      if (--depth > 0) a.low[a.callVertex[depth - 1]] = std::min(a.low[a.callVertex[depth - 1]], a.low[v]);
    }
  }
}

// Members of each part in program order, and each part's level: one more
// than the highest level among the parts it reads.
void LevelParts(int32_t n) {
  std::fill_n(a.memberStart, a.partCount + 1, 0);
  for (int32_t i = 0; i < n; ++i) ++a.memberStart[a.part[i] + 1];
  for (int32_t s = 0; s < a.partCount; ++s) a.memberStart[s + 1] += a.memberStart[s];
  std::copy_n(a.memberStart, a.partCount, a.fill);
  for (int32_t i = 0; i < n; ++i) a.member[a.fill[a.part[i]]++] = i;

  std::fill_n(a.level, a.partCount, 0);
  for (int32_t s = a.partCount - 1; s >= 0; --s)
    for (int32_t m = a.memberStart[s]; m < a.memberStart[s + 1]; ++m)
      for (int32_t e = a.edgeStart[a.member[m]]; e < a.edgeStart[a.member[m] + 1]; ++e) {
        const int32_t t = a.part[a.edgeTarget[e]];
        if (t != s) a.level[t] = std::max(a.level[t], a.level[s] + 1);
      }
}

bool Cyclic(int32_t s) {
  return a.memberStart[s + 1] - a.memberStart[s] > 1 || a.readsItself[a.member[a.memberStart[s]]];
}

// One record for every output that a block of another part reads.
void AssignRecords(int32_t n) {
  for (int32_t i = 0; i < n; ++i) std::fill_n(a.record[i], kOutputCount, -1);
  a.recordCount = 0;
  for (int32_t i = 0; i < n; ++i)
    for (int32_t k = 0; k < kInputCount; ++k) {
      const int32_t j = a.writer[i][k];
      if (j < 0 || a.part[j] == a.part[i]) continue;
      int32_t& h = a.record[j][a.output[i][k]];
      if (h < 0) {
        h = a.recordCount++;
        recordData[h] = recordFrames[h];
      }
    }
}

int32_t* RecordOf(int32_t i, int32_t o) { return recordFrames[a.record[i][o]]; }
int32_t OutputWord(int32_t i, int32_t o) { return Entry(i).block + BlockWord::kOutput + o; }

bool RecordsBeyondOutputZero(int32_t i) {
  for (int32_t o = 1; o < kOutputCount; ++o)
    if (a.record[i][o] >= 0) return true;
  return false;
}

KernelLane MakeLane(int32_t i) {
  ChunkPlan& p = chunkPlan;
  KernelLane lane{Entry(i).block, Entry(i).opcode, {}, {}, RecordsBeyondOutputZero(i)};
  for (int32_t k = 0; k < kInputCount; ++k) {
    const int32_t j = a.writer[i][k];
    if (j < 0) {
      ConstantSlot& slot = p.constant[p.constantCount++];
      slot.word = p.inputWord[i][k];
      slot.value = 0;
      slot.data = kZeroFrames;
      lane.input[k] = {&slot.data, 0};
    } else {
      // A writer earlier in the program has already run in this frame.
      lane.input[k] = {&recordData[a.record[j][a.output[i][k]]], j < i ? 1 : 0};
    }
  }
  for (int32_t o = 0; o < kOutputCount; ++o)
    if (Written(lane.opcode, o)) lane.record[o] = a.record[i][o] >= 0 ? RecordOf(i, o) : scratchRecord;
  return lane;
}

int32_t cycleOpCount, captureCount;

void AddCycleUnit(int32_t s, uint32_t stamp) {
  ChunkPlan& p = chunkPlan;
  PlanUnit& unit = p.unit[p.unitCount++];
  unit = {true, cycleOpCount, 0, captureCount, 0};

  // The outside outputs the part reads, in program order of their writers.
  int32_t replays = 0;
  for (int32_t m = a.memberStart[s]; m < a.memberStart[s + 1]; ++m)
    for (int32_t k = 0; k < kInputCount; ++k) {
      const int32_t i = a.member[m], j = a.writer[i][k];
      if (j < 0 || a.part[j] == s) continue;
      int32_t& mark = a.replayMark[j][a.output[i][k]];
      if (mark == static_cast<int32_t>(stamp)) continue;
      mark = static_cast<int32_t>(stamp);
      a.replayEntry[replays] = j;
      a.replayOutput[replays++] = a.output[i][k];
    }
  int32_t* byWriter = a.replayByWriter;
  for (int32_t r = 0; r < replays; ++r) byWriter[r] = r;
  std::sort(byWriter, byWriter + replays, [](int32_t x, int32_t y) { return a.replayEntry[x] < a.replayEntry[y]; });

  int32_t m = a.memberStart[s], r = 0;
  while (m < a.memberStart[s + 1] || r < replays) {
    if (r < replays && (m == a.memberStart[s + 1] || a.replayEntry[byWriter[r]] < a.member[m])) {
      const int32_t j = a.replayEntry[byWriter[r]], o = a.replayOutput[byWriter[r++]];
      p.cycleOp[cycleOpCount++] = {-1, nullptr, &DspMemory.word[OutputWord(j, o)], RecordOf(j, o)};
    } else {
      const int32_t i = a.member[m++];
      p.cycleOp[cycleOpCount++] = {Entry(i).block, Entry(i).step, nullptr, nullptr};
      for (int32_t o = 0; o < kOutputCount; ++o)
        if (a.record[i][o] >= 0) p.capture[captureCount++] = {OutputWord(i, o), RecordOf(i, o)};
    }
  }
  unit.count = cycleOpCount - unit.first;
  unit.captureCount = captureCount - unit.firstCapture;
}

// Acyclic one-block parts of one opcode on one level, cut into kernels of
// up to four lanes.
void AddKernelUnits(const int32_t* parts, int32_t count, int32_t& laneCount) {
  ChunkPlan& p = chunkPlan;
  while (count > 0) {
    const int32_t lanes = count >= 4 ? 4 : count >= 2 ? 2 : 1;
    p.unit[p.unitCount++] = {false, laneCount, lanes, 0, 0};
    for (int32_t l = 0; l < lanes; ++l) p.lane[laneCount++] = MakeLane(a.member[a.memberStart[parts[l]]]);
    parts += lanes;
    count -= lanes;
  }
}

uint32_t analysisStamp = 0;

void BuildUnits() {
  // By level; within a level the kernels of one opcode and record set
  // together, the cyclic parts last.
  auto key = [](int32_t s) {
    const int32_t first = a.member[a.memberStart[s]];
    const int32_t kind = Cyclic(s) ? 2 * kOpcodeLimit : 2 * Entry(first).opcode + RecordsBeyondOutputZero(first);
    return static_cast<int64_t>(a.level[s]) * (2 * kOpcodeLimit + 1) + kind;
  };
  for (int32_t s = 0; s < a.partCount; ++s) a.order[s] = s;
  std::sort(a.order, a.order + a.partCount, [&](int32_t x, int32_t y) { return key(x) < key(y); });

  cycleOpCount = captureCount = 0;
  int32_t laneCount = 0;
  for (int32_t first = 0; first < a.partCount;) {
    if (Cyclic(a.order[first])) {
      AddCycleUnit(a.order[first++], ++analysisStamp);
      continue;
    }
    int32_t last = first + 1;
    while (last < a.partCount && key(a.order[last]) == key(a.order[first])) ++last;
    AddKernelUnits(a.order + first, last - first, laneCount);
    first = last;
  }
}

}  // namespace

void BuildChunkPlan() {
  ChunkPlan& p = chunkPlan;
  const int32_t n = renderProgram.length;
  p.built = true;
  p.programSerial = renderProgram.serial;
  p.chunked = false;
  p.unitCount = 0;
  p.constantCount = 0;
  for (int32_t i = 0; i < n; ++i)
    for (int32_t k = 0; k < kInputCount; ++k)
      p.inputWord[i][k] = Load(Entry(i).block + BlockWord::kInput + k) & (kDspWordCount - 1);
  if (!MapWriters(n)) return;
  BuildEdges(n);
  FindParts(n);
  LevelParts(n);
  AssignRecords(n);
  BuildUnits();
  p.chunked = true;
}

bool PlanMatchesInputs() {
  const ChunkPlan& p = chunkPlan;
  for (int32_t i = 0; i < renderProgram.length; ++i) {
    const std::atomic<int32_t>* inputs = &DspMemory.word[Entry(i).block + BlockWord::kInput];
    int32_t differ = 0;
#pragma GCC unroll 5
    for (int32_t k = 0; k < kInputCount; ++k)
      differ |= (inputs[k].load(std::memory_order_relaxed) & (kDspWordCount - 1)) ^ p.inputWord[i][k];
    if (differ != 0) return false;
  }
  return true;
}

RenderPlanSummary InspectRenderPlan() {
  RebuildProgram(BeginFrameWalk());
  BuildChunkPlan();
  const ChunkPlan& p = chunkPlan;
  RenderPlanSummary summary{p.chunked, 0, 0, 0, p.unitCount};
  for (int32_t u = 0; u < p.unitCount; ++u) {
    const PlanUnit& unit = p.unit[u];
    if (!unit.cyclic) {
      summary.kernelBlocks += unit.count;
      continue;
    }
    ++summary.cyclicParts;
    for (int32_t o = unit.first; o < unit.first + unit.count; ++o) summary.cyclicBlocks += p.cycleOp[o].step != nullptr;
  }
  return summary;
}
