// The chunked render loop against the frame-by-frame reference: the same
// start rendered through both paths must give the same samples and leave
// every word, delay buffer and the noise source the same.
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "DspTestSupport.h"
#include "dsp/ChunkPlan.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"
#include "dsp/RenderWalk.h"

namespace {

struct EngineSnapshot {
  std::vector<int32_t> words = std::vector<int32_t>(kDspWordCount);
  std::vector<int16_t> delay = std::vector<int16_t>(kDelayBufferCount * kDelayBufferSamples);
  NoiseGenerator noise;

  static EngineSnapshot Take() {
    EngineSnapshot s;
    for (int32_t i = 0; i < kDspWordCount; ++i) s.words[i] = DspMemory.Load(i);
    std::memcpy(s.delay.data(), DelayBuffer, sizeof DelayBuffer);
    s.noise = noiseGenerator;
    return s;
  }
  void Restore() const {
    for (int32_t i = 0; i < kDspWordCount; ++i) DspMemory.Store(i, words[i]);
    std::memcpy(DelayBuffer, delay.data(), sizeof DelayBuffer);
    noiseGenerator = noise;
    NoteRenderGraphChanged();
  }
};

struct PathResult {
  std::vector<int16_t> samples;
  EngineSnapshot end;
};

using Edit = std::function<void(int32_t piece)>;

// Renders from `start` in pieces of the given lengths, with `edit` applied
// between pieces: a piece always starts a chunk, so both paths see each edit
// at the same frame.
PathResult RenderThrough(RenderPath path, const EngineSnapshot& start, const std::vector<int32_t>& pieces,
                         const Edit& edit = nullptr) {
  start.Restore();
  SetRenderPath(path);
  PathResult result;
  for (size_t p = 0; p < pieces.size(); ++p) {
    if (edit && p > 0) edit(static_cast<int32_t>(p));
    const std::vector<int16_t> samples = Render(pieces[p]);
    result.samples.insert(result.samples.end(), samples.begin(), samples.end());
  }
  result.end = EngineSnapshot::Take();
  SetRenderPath(RenderPath::Chunked);
  return result;
}

// The first difference, named so that a failure says where to look.
std::string FirstDifference(const PathResult& chunked, const PathResult& reference) {
  for (size_t i = 0; i < reference.samples.size(); ++i)
    if (chunked.samples[i] != reference.samples[i])
      return "frame " + std::to_string(i / 2) + (i % 2 ? " right" : " left");
  for (int32_t i = 0; i < kDspWordCount; ++i)
    if (chunked.end.words[i] != reference.end.words[i])
      return "block " + std::to_string(i & ~63) + " word " + std::to_string(i & 63);
  if (chunked.end.delay != reference.end.delay) return "delay buffers";
  if (std::memcmp(&chunked.end.noise, &reference.end.noise, sizeof(NoiseGenerator)) != 0) return "noise";
  return "";
}

std::string CompareFrom(const std::vector<int32_t>& pieces, const Edit& edit = nullptr) {
  const EngineSnapshot start = EngineSnapshot::Take();
  const PathResult reference = RenderThrough(RenderPath::FrameByFrame, start, pieces, edit);
  const PathResult chunked = RenderThrough(RenderPath::Chunked, start, pieces, edit);
  return FirstDifference(chunked, reference);
}

constexpr int32_t kOpcodes[] = {2,  4,  5,  6,  12, 13, 14, 15, 16, 17, 20, 24, 32, 33, 34, 35,
                                37, 38, 39, 40, 41, 42, 43, 44, 45, 0,  18};

// A patch of random modules, values and wiring: feedback loops, self-wiring,
// wires in both directions of the render order, inputs on controllers and
// zero slots, now and then a state word or a shared delay buffer.
class RandomPatch {
 public:
  explicit RandomPatch(uint32_t seed) : rng_(seed) {
    const int32_t count = Pick(2, 40);
    int32_t delayBuffers = 0;
    const bool shareBuffers = Pick(0, 5) == 0;
    acyclic_ = Pick(0, 2) == 0;
    for (int32_t i = 0; i < count; ++i) {
      const int32_t b = ReserveDSPBlock();
      blocks_.push_back(b);
      for (int32_t w : {0, 1, 2, 3, 4, 5}) DspMemory.Store(b + w, Value());
      if (Pick(0, 2) == 0)
        for (int32_t w = BlockWord::kOutput; w < BlockWord::kState + 3; ++w) DspMemory.Store(b + w, Value());
      for (int32_t s = 0; s < kSequencerSteps; ++s) DspMemory.Store(b + BlockWord::kStep + s, Value());
      DspMemory.Store(b + BlockWord::kRangeShift, Pick(0, 2) == 0 ? Value() : 8 * Pick(0, 1));
      const int32_t opcode = kOpcodes[Pick(0, std::size(kOpcodes) - 1)];
      opcodes_.push_back(opcode);
      const bool delay = opcode == Opcode::kDLY || opcode == Opcode::kFLA;
      DspMemory.Store(b + BlockWord::kBufferNumber,
                      delay ? (shareBuffers ? Pick(0, 3) : delayBuffers++ % 4) : opcode == Opcode::kDRM ? 0 : Value());
    }
    for (size_t i = 0; i < blocks_.size(); ++i)
      for (int32_t k = 0; k < kInputCount; ++k) DspMemory.Store(blocks_[i] + BlockWord::kInput + k, Source(i));
    for (int32_t offset = 0; offset < kDrumBankBytes; ++offset) SetDrumByte(offset, Pick(-1, 1));
    for (size_t i = 0; i < blocks_.size(); ++i) SetOpcode(blocks_[i], opcodes_[i]);
  }

  // One edit as the editor makes them: a rewire, a controller, a new type.
  void Edit() {
    const int32_t i = Pick(0, blocks_.size() - 1), b = blocks_[i];
    switch (Pick(0, 2)) {
      case 0: DspMemory.Store(b + BlockWord::kInput + Pick(0, 4), Source(i)); break;
      case 1: DspMemory.Store(b + Pick(0, 4), Value()); break;
      default:
        SetOpcode(b, 0);
        SetOpcode(b, kOpcodes[Pick(0, 15)]);  // not DLY or FLA: their buffers stay their own
    }
  }

 private:
  // The generator's raw words, which the standard fixes, so that the golden
  // hash below holds with every standard library.
  int32_t Pick(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(rng_() % static_cast<uint32_t>(high - low + 1));
  }
  int32_t Value() {
    constexpr int32_t kEdges[] = {0, 1, -1, 32767, -32768, 16384, 2184, 30000};
    return Pick(0, 1) ? kEdges[Pick(0, 7)] : Pick(-32768, 32767);
  }
  // An acyclic patch reads only blocks made before the reader.
  int32_t Source(size_t reader) {
    const int32_t b = blocks_[reader];
    const size_t sources = acyclic_ ? reader : blocks_.size();
    if (sources == 0) return b + BlockWord::kZeroSlot;
    auto AnyBlock = [&] { return blocks_[Pick(0, sources - 1)]; };
    const int32_t kind = acyclic_ ? (Pick(0, 2) == 0 ? 1 : 4) : Pick(0, 9);
    switch (kind) {
      case 0: return b + BlockWord::kZeroSlot;
      case 1: return b + Pick(1, 4);
      case 2: return AnyBlock() + Pick(0, 5);
      case 3: return Pick(0, 20) == 0 ? AnyBlock() + BlockWord::kState + Pick(0, 2) : b + BlockWord::kOutput;
      default: return AnyBlock() + BlockWord::kOutput + Pick(0, 4);
    }
  }

  std::mt19937 rng_;
  std::vector<int32_t> blocks_, opcodes_;
  bool acyclic_ = false;
};

class ChunkRenderTest : public EngineTest {};

// FNV-1a over the samples and the end state of the reference path.
struct GoldenHash {
  uint64_t value = 14695981039346656037u;
  void Add(uint32_t word) {
    for (int32_t byte = 0; byte < 4; ++byte) value = (value ^ ((word >> (8 * byte)) & 0xff)) * 1099511628211u;
  }
  void Add(const PathResult& r) {
    for (int16_t sample : r.samples) Add(static_cast<uint16_t>(sample));
    for (int32_t word : r.end.words) Add(static_cast<uint32_t>(word));
    for (int16_t sample : r.end.delay) Add(static_cast<uint16_t>(sample));
  }
};

// What the random patches sounded like when the steps were last changed on
// purpose. A change of sound that is meant shows the new value to put here.
constexpr uint64_t kRandomPatchesGolden = 12393684834175958013u;

// Every frame and every word agree, whatever the analysis made of the patch;
// the tally shows that the seeds reach every kind of plan.
TEST_F(ChunkRenderTest, RandomPatchesRenderTheSameThroughBothPaths) {
  int32_t refused = 0, withCycles = 0, allKernels = 0;
  GoldenHash golden;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    ResetEngine();
    RandomPatch patch(seed);
    const RenderPlanSummary plan = InspectRenderPlan();
    refused += !plan.chunked;
    withCycles += plan.chunked && plan.cyclicParts > 0;
    allKernels += plan.chunked && plan.cyclicParts == 0;
    const std::vector<int32_t> pieces = {static_cast<int32_t>(seed % 97) + 1, 64, 700};
    const EngineSnapshot start = EngineSnapshot::Take();
    const PathResult reference = RenderThrough(RenderPath::FrameByFrame, start, pieces);
    golden.Add(reference);
    ASSERT_EQ(FirstDifference(RenderThrough(RenderPath::Chunked, start, pieces), reference), "") << "seed " << seed;
  }
  EXPECT_EQ(golden.value, kRandomPatchesGolden) << "the random patches sound different";
  EXPECT_GT(refused, 10);
  EXPECT_GT(withCycles, 50);
  EXPECT_GT(allKernels, 10);
}

TEST_F(ChunkRenderTest, EditsBetweenChunksReachBothPathsAlike) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    ResetEngine();
    RandomPatch patch(seed);
    const EngineSnapshot start = EngineSnapshot::Take();
    // A copy of the patch per path, so that both draw the same edits.
    auto run = [&](RenderPath path) {
      RandomPatch editor = patch;
      return RenderThrough(path, start, {100, 64, 1, 200, 77, 300}, [&](int32_t) {
        for (int32_t e = 0; e < 3; ++e) editor.Edit();
      });
    };
    const PathResult reference = run(RenderPath::FrameByFrame);
    const PathResult chunked = run(RenderPath::Chunked);
    ASSERT_EQ(FirstDifference(chunked, reference), "") << "seed " << seed;
  }
}

struct Graph {
  const char* name;
  std::function<void()> build;
  bool chunked;
  int32_t kernelBlocks, cyclicParts, cyclicBlocks;
};

int32_t Osc() { return MakeBlock(Opcode::kOscillatorFirst, {20000, 0, 0, 32767}, {35, 35, 3, 4, 35}); }
int32_t Vca() { return MakeBlock(Opcode::kVCA, {4096}); }
int32_t Dly(int32_t buffer) {
  const int32_t b = MakeBlock(Opcode::kDLY, {3000, 0, 20000}, {35, 2, 3, 35, 35});
  SetWord(b, BlockWord::kBufferNumber, buffer);
  return b;
}
void Listen(int32_t source) { Wire(MakeBlock(Opcode::kOUT, {0, 0, 0, 26000}), 2, source, 0); }

// Blocks are made oldest first; the render order runs newest first.
const Graph kGraphs[] = {
    {"chain in render order", [] {
       const int32_t last = Vca(), middle = Vca(), first = Osc();
       Wire(middle, 0, first, 0);
       Wire(last, 0, middle, 0);
       Listen(last);
     }, true, 4, 0, 0},
    {"chain against render order", [] {
       const int32_t first = Osc(), middle = Vca(), last = Vca();
       Wire(middle, 0, first, 0);
       Wire(last, 0, middle, 0);
       Listen(last);
     }, true, 4, 0, 0},
    {"two-block loop", [] {
       const int32_t a = Osc(), b = Vca();
       Wire(b, 0, a, 0);
       Wire(a, 0, b, 0);
       Listen(b);
     }, true, 1, 1, 2},
    {"self-loop", [] {
       const int32_t a = MakeBlock(Opcode::kADD, {}, {35, 35, 35, 35, 35});
       Wire(a, 0, Osc(), 0);
       Wire(a, 1, a, 0);
       Listen(a);
     }, true, 2, 1, 1},
    {"fed from both sides of the order", [] {
       const int32_t older = Osc(), sum = MakeBlock(Opcode::kADD), newer = Osc();
       Wire(sum, 0, older, 0);
       Wire(sum, 1, newer, 0);
       Listen(sum);
     }, true, 4, 0, 0},
    {"shared delay buffer", [] {
       Listen(Dly(1));
       Listen(Dly(1));
     }, false, 0, 0, 0},
    {"controller of another block", [] {
       const int32_t a = Osc(), b = Vca();
       SetWord(b, BlockWord::kInput + 0, a + 3);
       Listen(b);
     }, true, 3, 0, 0},
    {"state word of another block", [] {
       const int32_t a = Osc(), b = Vca();
       SetWord(b, BlockWord::kInput + 0, a + BlockWord::kState);
       Listen(b);
     }, false, 0, 0, 0},
    {"trigger latch of a sequencer", [] {
       const int32_t seq = MakeBlock(Opcode::kSEQ, {32767}), b = Vca();
       SetWord(b, BlockWord::kInput + 0, seq + 5);
       Listen(b);
     }, false, 0, 0, 0},
};

TEST_F(ChunkRenderTest, TheAnalysisCutsEachGraphAsItMust) {
  for (const Graph& graph : kGraphs) {
    ResetEngine();
    graph.build();
    const RenderPlanSummary plan = InspectRenderPlan();
    EXPECT_EQ(plan.chunked, graph.chunked) << graph.name;
    if (plan.chunked) {
      EXPECT_EQ(plan.kernelBlocks, graph.kernelBlocks) << graph.name;
      EXPECT_EQ(plan.cyclicParts, graph.cyclicParts) << graph.name;
      EXPECT_EQ(plan.cyclicBlocks, graph.cyclicBlocks) << graph.name;
    }
    EXPECT_EQ(CompareFrom({1000, 3000}), "") << graph.name;
  }
}

}  // namespace
