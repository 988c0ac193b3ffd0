// The chunked render loop against the frame-by-frame reference: the same
// start rendered through both paths must give the same samples and leave
// every word, delay buffer and the noise source the same.
#include <cstring>
#include <functional>
#include <random>
#include <tuple>

#include "DspTestSupport.h"
#include "dsp/ChunkPlan.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"
#include "dsp/RenderWalk.h"

namespace {

using namespace BlockWord;
int16_t* const kDelay = &DelayBuffer[0][0];
constexpr int32_t kDelaySamples = kDelayBufferCount * kDelayBufferSamples;

// The samples of a render and what it left: every word, the delay buffers, the noise source.
struct Capture { std::vector<int16_t> samples; std::vector<int32_t> words; std::vector<int16_t> delay; NoiseGenerator noise; };

Capture Take(std::vector<int16_t> samples = {}) {
  Capture r{std::move(samples), std::vector<int32_t>(kDspWordCount), std::vector<int16_t>(kDelay, kDelay + kDelaySamples), noiseGenerator};
  for (int32_t i = 0; i < kDspWordCount; ++i) r.words[i] = DspMemory.Load(i);
  return r;
}

using Edit = std::function<void(int32_t piece)>;

// Renders from `start` in pieces of the given lengths, with `edit` applied
// between pieces: a piece always starts a chunk, so both paths see each edit
// at the same frame.
Capture RenderThrough(RenderPath path, const Capture& start, const std::vector<int32_t>& pieces, const Edit& edit = nullptr) {
  for (int32_t i = 0; i < kDspWordCount; ++i) DspMemory.Store(i, start.words[i]);
  std::copy(start.delay.begin(), start.delay.end(), kDelay);
  noiseGenerator = start.noise;
  NoteRenderGraphChanged();
  SetRenderPath(path);
  std::vector<int16_t> samples;
  for (size_t p = 0; p < pieces.size(); ++p) {
    if (edit && p > 0) edit(static_cast<int32_t>(p));
    const std::vector<int16_t> piece = Render(pieces[p]);
    samples.insert(samples.end(), piece.begin(), piece.end());
  }
  SetRenderPath(RenderPath::Chunked);
  return Take(std::move(samples));
}

// The first difference, named so that a failure says where to look.
std::string FirstDifference(const Capture& chunked, const Capture& reference) {
  for (size_t i = 0; i < reference.samples.size(); ++i)
    if (chunked.samples[i] != reference.samples[i]) return "frame " + std::to_string(i / 2) + (i % 2 ? " right" : " left");
  for (int32_t i = 0; i < kDspWordCount; ++i)
    if (chunked.words[i] != reference.words[i]) return "block " + std::to_string(i & ~63) + " word " + std::to_string(i & 63);
  if (chunked.delay != reference.delay) return "delay buffers";
  return std::memcmp(&chunked.noise, &reference.noise, sizeof(NoiseGenerator)) != 0 ? "noise" : "";
}

// FNV-1a over the samples and the end state of the reference path.
struct GoldenHash {
  uint64_t value = 14695981039346656037u;
  void Add(uint32_t word) { for (int32_t byte = 0; byte < 4; ++byte) value = (value ^ ((word >> (8 * byte)) & 0xff)) * 1099511628211u; }
  void Add(const Capture& r) {
    for (int16_t sample : r.samples) Add(static_cast<uint16_t>(sample));
    for (int32_t word : r.words) Add(static_cast<uint32_t>(word));
    for (int16_t sample : r.delay) Add(static_cast<uint16_t>(sample));
  }
};

std::string CompareFrom(const std::vector<int32_t>& pieces, const Edit& edit = nullptr, GoldenHash* golden = nullptr) {
  const Capture start = Take();
  const Capture reference = RenderThrough(RenderPath::FrameByFrame, start, pieces, edit);
  if (golden) golden->Add(reference);
  return FirstDifference(RenderThrough(RenderPath::Chunked, start, pieces, edit), reference);
}

constexpr int32_t kOpcodes[] = {2, 4, 5, 6, 12, 13, 14, 15, 16, 17, 20, 24, 32, 33, 34, 35, 37, 38, 39, 40, 41, 42, 43, 44, 45, 0, 18};

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
      for (int32_t w = 0; w < 6; ++w) DspMemory.Store(b + w, Value());
      if (Pick(0, 2) == 0)
        for (int32_t w = kOutput; w < kState + 3; ++w) DspMemory.Store(b + w, Value());
      for (int32_t s = 0; s < kSequencerSteps; ++s) DspMemory.Store(b + kStep + s, Value());
      DspMemory.Store(b + kRangeShift, Pick(0, 2) == 0 ? Value() : 8 * Pick(0, 1));
      const int32_t op = kOpcodes[Pick(0, std::size(kOpcodes) - 1)];
      opcodes_.push_back(op);
      DspMemory.Store(b + kBufferNumber, UsesDelayBuffer(op) ? (shareBuffers ? Pick(0, 3) : delayBuffers++ % 4) : op == Opcode::kDRM ? 0 : Value());
    }
    for (size_t i = 0; i < blocks_.size(); ++i)
      for (int32_t k = 0; k < kInputCount; ++k) DspMemory.Store(blocks_[i] + kInput + k, Source(i));
    for (int32_t offset = 0; offset < kDrumBankBytes; ++offset) SetDrumByte(offset, Pick(-1, 1));
    for (size_t i = 0; i < blocks_.size(); ++i) SetOpcode(blocks_[i], opcodes_[i]);
  }

  // One edit as the editor makes them: a rewire, a controller, a new type.
  void Edit() {
    const int32_t i = Pick(0, blocks_.size() - 1), b = blocks_[i];
    switch (Pick(0, 2)) {
      case 0: DspMemory.Store(b + kInput + Pick(0, 4), Source(i)); break;
      case 1: DspMemory.Store(b + Pick(0, 4), Value()); break;
      default: SetOpcode(b, 0), SetOpcode(b, kOpcodes[Pick(0, 15)]);  // not DLY or FLA: their buffers stay their own
    }
  }

 private:
  // The generator's raw words, which the standard fixes, so that the golden
  // hash below holds with every standard library.
  int32_t Pick(int32_t low, int32_t high) { return low + static_cast<int32_t>(rng_() % static_cast<uint32_t>(high - low + 1)); }
  int32_t Value() {
    constexpr int32_t kEdges[] = {0, 1, -1, 32767, -32768, 16384, 2184, 30000};
    return Pick(0, 1) ? kEdges[Pick(0, 7)] : Pick(-32768, 32767);
  }
  // An acyclic patch reads only blocks made before the reader.
  int32_t Source(size_t reader) {
    const int32_t b = blocks_[reader];
    const size_t sources = acyclic_ ? reader : blocks_.size();
    if (sources == 0) return b + kZeroSlot;
    auto AnyBlock = [&] { return blocks_[Pick(0, sources - 1)]; };
    switch (acyclic_ ? (Pick(0, 2) == 0 ? 1 : 4) : Pick(0, 9)) {
      case 0: return b + kZeroSlot;
      case 1: return b + Pick(1, 4);
      case 2: return AnyBlock() + Pick(0, 5);
      case 3: return Pick(0, 20) == 0 ? AnyBlock() + kState + Pick(0, 2) : b + kOutput;
      default: return AnyBlock() + kOutput + Pick(0, 4);
    }
  }

  std::mt19937 rng_;
  std::vector<int32_t> blocks_, opcodes_;
  bool acyclic_ = false;
};

using ChunkRenderTest = EngineTest;

// What the random patches sounded like when the steps were last changed on
// purpose. A change of sound that is meant shows the new value to put here.
constexpr uint64_t kRandomPatchesGolden = 12393684834175958013u;

// Every frame and every word agree, whatever the analysis made of the patch;
// the tally shows that the seeds reach every kind of plan.
TEST_F(ChunkRenderTest, RandomPatchesRenderTheSameThroughBothPaths) {
  int32_t plans[3] = {};  // refused, chunked with cycles, all kernels
  GoldenHash golden;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    ResetEngine();
    RandomPatch patch(seed);
    const RenderPlanSummary plan = InspectRenderPlan();
    ++plans[!plan.chunked ? 0 : plan.cyclicParts > 0 ? 1 : 2];
    ASSERT_EQ(CompareFrom({static_cast<int32_t>(seed % 97) + 1, 64, 700}, nullptr, &golden), "") << "seed " << seed;
  }
  EXPECT_EQ(golden.value, kRandomPatchesGolden) << "the random patches sound different";
  EXPECT_TRUE(plans[0] > 10 && plans[1] > 50 && plans[2] > 10) << plans[0] << " refused, " << plans[1] << " cyclic, " << plans[2] << " kernels only";
}

TEST_F(ChunkRenderTest, EditsBetweenChunksReachBothPathsAlike) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    ResetEngine();
    RandomPatch patch(seed);
    RandomPatch editor = patch;  // afresh for each path, so that both draw the same edits
    const Edit edits = [&](int32_t piece) {
      if (piece == 1) editor = patch;
      for (int32_t e = 0; e < 3; ++e) editor.Edit();
    };
    ASSERT_EQ(CompareFrom({100, 64, 1, 200, 77, 300}, edits), "") << "seed " << seed;
  }
}

int32_t Osc() { return MakeBlock(Opcode::kOscillatorFirst, {20000, 0, 0, 32767}, {35, 35, 3, 4, 35}); }
int32_t Vca() { return MakeBlock(Opcode::kVCA, {4096}); }
int32_t Add() { return MakeBlock(Opcode::kADD); }
// `block` with word `offset` set to `value`, or with input `input` fed by output 0 of `source`.
int32_t With(int32_t block, int32_t offset, int32_t value) { return SetWord(block, offset, value), block; }
int32_t Fed(int32_t block, int32_t source, int32_t input = 0) { return Wire(block, input, source, 0), block; }
int32_t Dly() { return With(MakeBlock(Opcode::kDLY, {3000, 0, 20000}, {35, 2, 3, 35, 35}), kBufferNumber, 1); }
void Listen(int32_t source) { Fed(MakeBlock(Opcode::kOUT, {0, 0, 0, 26000}), source, 2); }

struct Graph { const char* name; void (*build)(); bool chunked; int32_t kernelBlocks, cyclicParts, cyclicBlocks; };

// Blocks are made oldest first; the render order runs newest first.
const Graph kGraphs[] = {
    {"chain in render order", [] { const int32_t last = Vca(), middle = Vca(); Listen(Fed(last, Fed(middle, Osc()))); }, true, 4, 0, 0},
    {"chain against render order", [] { const int32_t first = Osc(), middle = Fed(Vca(), first); Listen(Fed(Vca(), middle)); }, true, 4, 0, 0},
    {"two-block loop", [] { const int32_t a = Osc(), b = Fed(Vca(), a); Fed(a, b), Listen(b); }, true, 1, 1, 2},
    {"self-loop", [] { const int32_t a = Add(); Listen(Fed(Fed(a, Osc()), a, 1)); }, true, 2, 1, 1},
    {"fed from both sides of the order", [] { const int32_t older = Osc(), sum = Fed(Add(), older); Listen(Fed(sum, Osc(), 1)); }, true, 4, 0, 0},
    {"shared delay buffer", [] { Listen(Dly()), Listen(Dly()); }, false, 0, 0, 0},
    {"controller of another block", [] { const int32_t a = Osc(); Listen(With(Vca(), kInput, a + 3)); }, true, 3, 0, 0},
    {"state word of another block", [] { const int32_t a = Osc(); Listen(With(Vca(), kInput, a + kState)); }, false, 0, 0, 0},
    {"trigger latch of a sequencer", [] { const int32_t s = MakeBlock(Opcode::kSEQ, {32767}); Listen(With(Vca(), kInput, s + 5)); }, false, 0, 0, 0},
};

TEST_F(ChunkRenderTest, TheAnalysisCutsEachGraphAsItMust) {
  for (const Graph& g : kGraphs) {
    ResetEngine();
    g.build();
    const RenderPlanSummary p = InspectRenderPlan();
    EXPECT_EQ(std::make_tuple(p.chunked, p.chunked ? p.kernelBlocks : 0, p.chunked ? p.cyclicParts : 0, p.chunked ? p.cyclicBlocks : 0),
              std::make_tuple(g.chunked, g.kernelBlocks, g.cyclicParts, g.cyclicBlocks)) << g.name;
    EXPECT_EQ(CompareFrom({1000, 3000}), "") << g.name;
  }
}

}  // namespace
