// The ring of three buffers against a device that plays in order and
// notifies from its own thread.

#include <bit>
#include <chrono>
#include <cstdlib>
#include <tuple>

#include "AudioTestSupport.h"
#include "audio/AudioOutput.h"
#include "dsp/RenderBuffer.h"

namespace {

constexpr size_t kBufferSamples = kFramesPerBuffer * kChannels;

std::vector<int16_t> Frames(const std::vector<int16_t>& all, int32_t buffer) {
  return std::vector<int16_t>(all.begin() + buffer * kBufferSamples, all.begin() + (buffer + 1) * kBufferSamples);
}

// nextBuffer moves after the refill's write; wait for it with a bound.
bool WaitForNextBuffer(int32_t expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (nextBuffer.load() != expected) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

class PlaybackRingTest : public ::testing::Test {
 protected:
  void SetUp() override { SetWaveOutDevice(&device); }
  void TearDown() override { StopAudio(), SetWaveOutDevice(nullptr), SetMemoryBlockAllocator(DefaultMemoryBlockAllocator()); }
  FakeWaveOut device{true};
};

// Start queues three buffers holding the first 12288 frames in order; each
// done notice refills the finished buffer with the next 4096, and any other
// notice changes nothing.
TEST_F(PlaybackRingTest, StartQueuesThreeBuffersAndEachDoneNoticeRefillsTheFinishedOne) {
  constexpr int32_t kNotices = 7;
  const auto reference = ReferenceRender((3 + kNotices) * kFramesPerBuffer);
  StartAudio(nullptr);
  ASSERT_TRUE(device.WaitForWrites(3));

  const WaveFormat f = device.openedFormat();
  EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSecond, f.averageBytesPerSecond, f.blockAlign, f.bitsPerSample, f.extraSize),
            std::make_tuple(1, 2, 44100u, 176400u, 4, 16, 0));
  const auto writes = device.Writes();
  ASSERT_EQ(writes.size(), 3u);
  for (int32_t i = 0; i < 3; ++i) {
    // Flags 0 from the ring, then prepared.
    EXPECT_EQ(std::tie(writes[i].ring, writes[i].bufferLength, writes[i].flags), std::make_tuple(i, kMemoryBlockBytes, kHeaderPrepared));
    EXPECT_EQ(waveHeaders[i].data, reinterpret_cast<char*>(memoryBlocks[i]));
    EXPECT_EQ(writes[i].samples, Frames(reference, i)) << i;
  }
  EXPECT_EQ(device.Calls(), (std::vector<int32_t>{1, 3, 0, 0}));
  EXPECT_EQ(nextBuffer.load(), 0);

  for (int32_t n = 0; n < kNotices; ++n) {
    SCOPED_TRACE(n);
    // 0x0113 (WM_TIMER) stands for the system's own messages; Windows will
    // not post those whose parameters are pointers, such as WM_CREATE. The
    // queue is in order: the real notice comes after these.
    if (n == 1) {
      for (uint32_t message : {kWaveOutOpen, kWaveOutClose, 0x0400u, 0x0113u, 958u}) ASSERT_TRUE(playbackMessages.Post({message, 0, 0}));
    }
    device.Allow(1);
    ASSERT_TRUE(device.WaitForWrites(4 + n));
    ASSERT_TRUE(WaitForNextBuffer((n + 1) % 3));
    const auto now = device.Writes();
    ASSERT_EQ(now.size(), static_cast<size_t>(4 + n));
    EXPECT_EQ(std::tie(now.back().ring, now.back().samples), std::make_tuple(n % 3, Frames(reference, 3 + n)));
    EXPECT_EQ(device.Calls()[2], n + 1);
  }
}

// Silence keeps circulating and still advances the noise source; stopped,
// the device is closed and the ring starts again from buffer 0.
TEST_F(PlaybackRingTest, AnEmptyPatchPlaysZeroSamplesAndTheRingStartsAgainFresh) {
  ResetEngine();
  StartAudio(nullptr);
  device.Allow(5);
  ASSERT_TRUE(device.WaitForWrites(8));
  for (const auto& written : device.Writes()) EXPECT_EQ(written.samples, std::vector<int16_t>(kBufferSamples, 0));
  NoiseGenerator expected;
  for (int32_t frame = 0; frame < 8 * kFramesPerBuffer; ++frame) expected.Advance();
  ASSERT_TRUE(WaitForNextBuffer(2));
  StopAudio();
  EXPECT_EQ(noiseGenerator.a, expected.a);
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) EXPECT_EQ(memoryBlocks[i], nullptr);
  EXPECT_EQ(waveDevice, nullptr);
  EXPECT_EQ(nextBuffer.load(), 0);
  EXPECT_EQ(device.Calls()[3], 1) << "stopped, the device is closed";

  FakeWaveOut second{true};
  SetWaveOutDevice(&second), StartAudio(nullptr), second.Allow(1);
  ASSERT_TRUE(second.WaitForWrites(4));
  const auto writes = second.Writes();
  EXPECT_EQ(std::tie(writes[0].ring, writes[2].ring, writes[3].ring), std::make_tuple(0, 2, 0));
  StopAudio();
}

// A device that cannot open, or none at all, gives one message and renders nothing.
TEST_F(PlaybackRingTest, ADeviceThatCannotOpenGivesOneMessageAndRendersNothing) {
  ResetEngine(), BuildTestPatch();
  device.openResult = kWaveBadDevice;
  for (bool withDevice : {true, false}) {
    SetWaveOutDevice(withDevice ? &device : nullptr);
    MessageCapture messages;
    StartAudio(nullptr);
    StopAudio();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"waveOutOpen failed, check WAVE-Output settings"});
    EXPECT_EQ(messages.shown.at(0).icon, MessageIcon::Warning);
    EXPECT_EQ(waveDevice, nullptr);
  }
  EXPECT_TRUE(device.Writes().empty());
  EXPECT_EQ(device.Calls(), (std::vector<int32_t>{1, 0, 0, 0}));
  const NoiseGenerator untouched;
  EXPECT_EQ(std::tie(noiseGenerator.a, noiseGenerator.b), std::tie(untouched.a, untouched.b));
}

// Fails the allocations whose bit is set in `failing`, counted from the
// first allocation after SetUp.
int allocationCount = 0;
unsigned failingAllocations = 0;
void* AllocateUnlessFailing(size_t bytes) {
  const bool fail = (failingAllocations >> allocationCount++) & 1;
  return fail ? nullptr : std::malloc(bytes);
}

// Each failed block gives its message and nothing plays; the blocks that
// exist are still rendered, one buffer each.
TEST_F(PlaybackRingTest, EachFailedBlockGivesItsMessageAndNothingPlays) {
  for (unsigned failing : {0b001u, 0b010u, 0b100u, 0b101u, 0b111u}) {
    SCOPED_TRACE(failing);
    ResetEngine();
    allocationCount = 0;
    failingAllocations = failing;
    SetMemoryBlockAllocator({AllocateUnlessFailing, std::free});
    MessageCapture messages;
    StartAudio(nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(std::popcount(failing), "Error allocating MemoryBlock"));
    EXPECT_EQ(waveDevice, nullptr);
    int32_t rendered = 0;
    for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
      EXPECT_EQ(memoryBlocks[i] == nullptr, ((failing >> i) & 1) != 0) << i;
      rendered += memoryBlocks[i] != nullptr;
    }
    NoiseGenerator expected;
    for (int32_t frame = 0; frame < rendered * kFramesPerBuffer; ++frame) expected.Advance();
    EXPECT_EQ(std::tie(noiseGenerator.a, noiseGenerator.c), std::tie(expected.a, expected.c));
    StopAudio();
  }
  EXPECT_EQ(device.Calls()[0], 0);
  EXPECT_TRUE(device.Writes().empty());
}

}  // namespace
