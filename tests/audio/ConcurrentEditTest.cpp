// While the ring plays, the UI side edits the engine without pause:
// controllers, wires, retyping, deleting and inserting blocks, drum steps,
// each with the engine's write orders. Nothing may crash, and under
// ThreadSanitizer nothing may race.

#include <chrono>
#include <random>

#include "AudioTestSupport.h"
#include "audio/AudioOutput.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

namespace {

using namespace BlockWord;

constexpr int32_t kOpcodes[] = {2, 4, 5, 6, 12, 13, 14, 15, 16, 17, 20, 24, 32, 33, 34, 35,
                                37, 38, 39, 40, 41, 42, 43, 44, 45, 18, 3};

struct LiveBlock { int32_t block, opcode; };

class Editor {
 public:
  explicit Editor(uint32_t seed) : random_(seed) {}

  void EditOnce() {
    const int32_t action = Pick(10);
    if (live_.empty() || (action == 0 && live_.size() < 48)) return Insert();
    LiveBlock& target = live_[Pick(static_cast<int32_t>(live_.size()))];
    switch (action) {
      case 1: case 2: case 3: return DspMemory.Store(target.block + kController + Pick(6), Value());
      case 4: case 5: return Wire(target);
      case 6: return Retype(target, Opcode());
      case 7: if (live_.size() > 4) Delete(static_cast<size_t>(&target - live_.data())); return;
      case 8: return SetDrumByte(DrumByteOffset(0, 0, Pick(4), Pick(64)), Pick(2));
      default: return Insert();
    }
  }

  void DeleteAll() { while (!live_.empty()) Delete(live_.size() - 1); }

 private:
  int32_t Pick(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random_); }
  int32_t Value() { return std::uniform_int_distribution<int32_t>(-32768, 32767)(random_); }
  int32_t Opcode() { return kOpcodes[Pick(static_cast<int32_t>(std::size(kOpcodes)))]; }

  // DLY and FLA own a delay buffer, DRM the drum buffer, reserved before the
  // opcode is written; with none left the block becomes a VCA.
  static bool TakesDelayBuffer(int32_t opcode) { return opcode == 32 || opcode == 33; }
  void WriteBody(int32_t block, int32_t& opcode) {
    const bool delay = TakesDelayBuffer(opcode);
    if (delay || opcode == 17) {
      if (delay ? DelayBufAvailable() : DRMBufferAvailable()) DspMemory.Store(block + kBufferNumber, delay ? ReserveDelayBuf() : ReserveDRMBuffer());
      else opcode = 4;
    }
    for (int32_t i = 0; i < kInputCount; ++i) DspMemory.Store(block + kInput + i, block + (Pick(2) ? i + 1 : kZeroSlot));
    for (int32_t c = 0; c < kControllerCount; ++c) DspMemory.Store(block + kController + c, Value());
    DspMemory.Store(block + kRangeShift, Pick(2) * 8);
    SetOpcode(block, opcode);  // last: publishes the block's words
  }
  static void ReturnBuffer(const LiveBlock& entry) {
    const int32_t buffer = DspMemory.Load(entry.block + kBufferNumber);
    if (TakesDelayBuffer(entry.opcode)) ReleaseDelayBuf(buffer);
    if (entry.opcode == 17) ReleaseDRMBuffer(buffer);
  }

  void Insert() {
    const int32_t block = ReserveDSPBlock();
    if (block < 0) return;
    int32_t opcode = Opcode();
    WriteBody(block, opcode);
    live_.push_back({block, opcode});
  }

  void Wire(const LiveBlock& target) {
    const int32_t input = Pick(kInputCount), source = live_[Pick(static_cast<int32_t>(live_.size()))].block;
    DspMemory.Store(target.block + kInput + input, Pick(4) == 0 ? target.block + kZeroSlot : source + kOutput + Pick(kOutputCount));
  }

  void Retype(LiveBlock& target, int32_t opcode) {
    SetOpcode(target.block, 0);  // first: the old step stops before anything changes
    ReturnBuffer(target);
    WriteBody(target.block, opcode);
    target.opcode = opcode;
  }

  void Delete(size_t index) {
    const LiveBlock entry = live_[index];
    SetOpcode(entry.block, 0);
    ReturnBuffer(entry);
    for (int32_t i = 0; i < kInputCount; ++i) DspMemory.Store(entry.block + kInput + i, entry.block + kZeroSlot);
    ReleaseDSPBlock(entry.block);
    live_.erase(live_.begin() + static_cast<ptrdiff_t>(index));
  }

  std::mt19937 random_;
  std::vector<LiveBlock> live_;
};

TEST(ConcurrentEditTest, EditingWhileTheRingPlaysNeitherCrashesNorRaces) {
  ResetEngine(), BuildTestPatch();
  FakeWaveOut device{false};
  SetWaveOutDevice(&device);
  StartAudio(nullptr);

  Editor editor(20240607);
  // Enough buffers that edits land in every phase of the ring, and enough
  // edits that every kind of edit meets a running render many times.
  constexpr size_t kBuffers = 40;
  constexpr int32_t kMinimumEdits = 20000;
  // A ring that stops turning ends the edits after a bound, and fails below.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (int32_t edits = 0; edits < kMinimumEdits || (device.WriteCount() < kBuffers && std::chrono::steady_clock::now() < deadline); ++edits)
    editor.EditOnce();
  editor.DeleteAll();
  StopAudio();
  SetWaveOutDevice(nullptr);

  EXPECT_GE(device.WriteCount(), kBuffers);
  // Every block went back: the free list holds all but the test patch's four.
  int32_t freeBlocks = 0;
  for (int32_t block = FreeListHead; block != kNone; block = DspMemory.Load(block + kNext)) ++freeBlocks;
  EXPECT_EQ(freeBlocks, kDspBlockCount - 4);
  for (int32_t buffer = 0; buffer < kDelayBufferCount; ++buffer) EXPECT_EQ(delayBufInUse[buffer], 0);
  EXPECT_EQ(drumBufInUse, 0);
}

}  // namespace
