// One thread edits blocks the way the patch model does (reserve, type with
// opcode 0 first and last, rewire, release) while another renders without
// pause. Every block that stays on the render list must run in every frame,
// and the render loop must touch nothing outside the blocks it runs.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "DspTestSupport.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"

namespace {

using namespace BlockWord;
constexpr int32_t kSentinel = 0x5A5A5A5A;
// Words that no render step ever writes: the reserved gaps and the tail of a block.
constexpr int32_t kUntouchedOffsets[] = {6, 7, 13, 14, 15, 21, 22, 23, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47};
constexpr int32_t kStableCounters = 8;
constexpr size_t kMaxChurnBlocks = 48;

// Opcodes the editor may type, with the delay buffers limited to 0..2 so that
// buffer 3 proves nothing writes outside its own buffer.
constexpr int32_t kTypedOpcodes[] = {2, 4, 5, 6, 12, 13, 14, 15, 16, 17, 20, 24, 32, 33, 34, 35, 37, 38, 39, 40, 41, 42, 43, 44, 45, 3, 18, 19, 36};

// The work is counted, not timed, so a loaded machine only makes the test
// slower. VARNOTEK_STRESS_EDITS scales it; the cap fails only a real hang.
constexpr int64_t kStressFrames = 200000;
constexpr auto kHangCap = std::chrono::minutes(5);

// The editor's moves, drawn from its own generator; each OneEdit is one edit.
struct Editor {
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  size_t PickLive() { return static_cast<size_t>(Pick(0, static_cast<int>(live.size()) - 1)); }

  void OneEdit() {
    ++edits;
    const int choice = Pick(0, 9);
    if (live.size() < 4 || (choice < 3 && live.size() < kMaxChurnBlocks)) {
      live.push_back(ReserveDSPBlock());
      ASSERT_GE(live.back(), 0);
      return Type(live.back());
    }
    if (choice < 5) return Release(PickLive());
    if (choice < 7) return Type(live[PickLive()]);
    const int32_t block = live[PickLive()];
    const int32_t source = Pick(0, 3) == 0 ? stable[Pick(0, kStableCounters - 1)] : live[PickLive()];
    SetWord(block, kInput + Pick(0, 4), source + kOutput + Pick(0, 4));
  }
  // Opcode 0 first, then the defaults, then the opcode last.
  void Type(int32_t block) {
    SetOpcode(block, 0);
    for (int32_t c = 0; c < 6; ++c) SetWord(block, c, Pick(-32768, 32767));
    for (int32_t i = 0; i < 5; ++i) SetWord(block, kInput + i, block + (Pick(0, 1) ? 35 : i + 1));
    SetWord(block, kBufferNumber, Pick(0, 2)), SetWord(block, kRangeShift, Pick(0, 1) * 8);
    SetOpcode(block, kTypedOpcodes[Pick(0, std::size(kTypedOpcodes) - 1)]);
  }
  void Release(size_t index) {
    SetOpcode(live[index], 0);
    ReleaseDSPBlock(live[index]);
    live.erase(live.begin() + static_cast<std::ptrdiff_t>(index));
  }

  std::vector<int32_t> stable, live;
  int64_t edits = 0;
  std::mt19937 random{12345};
};

using RenderStress = ::testing::TestWithParam<RenderPath>;

TEST_P(RenderStress, EveryLiveBlockRunsInEveryFrameWhileTheListChanges) {
  ResetEngine();
  SetRenderPath(GetParam());
  for (int32_t block = 0; block < kDspWordCount; block += kBlockWordCount)
    for (int32_t offset : kUntouchedOffsets) SetWord(block, offset, kSentinel);
  // Frame counters at the back of the list: each adds 1 to its own output.
  Editor editor;
  std::vector<int32_t>& stable = editor.stable;
  for (int32_t i = 0; i < kStableCounters; ++i) stable.push_back(MakeBlock(Opcode::kADD, {0, 1}, {1, kOutput}));

  std::atomic<bool> stop{false};
  std::atomic<int64_t> framesRendered{0};
  std::thread renderer([&] {
    std::vector<int16_t> buffer(2 * kFramesPerBuffer);
    std::mt19937 random(7);
    while (!stop.load(std::memory_order_relaxed)) {
      // Passes of every length, so that edits also land between passes.
      const int32_t frames = std::uniform_int_distribution<int32_t>(1, kFramesPerBuffer)(random);
      RenderFrames(buffer.data(), frames);
      framesRendered.fetch_add(frames, std::memory_order_relaxed);
    }
  });

  const char* wanted = std::getenv("VARNOTEK_STRESS_EDITS");
  const int64_t wantedEdits = wanted ? std::atoll(wanted) : 20000;
  const auto cap = std::chrono::steady_clock::now() + kHangCap;
  bool hung = false;
  while (!hung && (editor.edits < wantedEdits || framesRendered.load(std::memory_order_relaxed) < kStressFrames)) {
    for (int i = 0; i < 64; ++i) editor.OneEdit();
    hung = std::chrono::steady_clock::now() > cap;
  }
  while (!editor.live.empty()) editor.Release(editor.live.size() - 1);
  stop.store(true);
  renderer.join();

  ASSERT_FALSE(hung) << "edits " << editor.edits << ", frames " << framesRendered.load();
  for (int32_t counter : stable)
    EXPECT_EQ((std::vector{Out(counter, 0), Word(counter, 1), Word(counter, kInput + 1)}),
              (std::vector{static_cast<int32_t>(framesRendered.load()), 1, counter + kOutput})) << "block " << counter << " missed frames";
  for (int32_t block = 0; block < kDspWordCount; block += kBlockWordCount)
    for (int32_t offset : kUntouchedOffsets) ASSERT_EQ(Word(block, offset), kSentinel) << block << "+" << offset;
  for (int32_t i = 0; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[3][i], 0) << i;
  for (int32_t i = 0; i < kDrumBufferBytes; ++i) ASSERT_EQ(GetDrumByte(i), 0) << i;
  // Every churned block is back on the free list, and only the counters render.
  int32_t onList = 0;
  for (int32_t b = RenderListHead.load(); b >= 0; b = Word(b, kNext)) ++onList;
  EXPECT_EQ(onList, kStableCounters);
  SetRenderPath(RenderPath::Chunked);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RenderStress, ::testing::Values(RenderPath::Chunked, RenderPath::FrameByFrame),
                         [](const auto& info) { return info.param == RenderPath::Chunked ? "Chunked" : "FrameByFrame"; });

}  // namespace
