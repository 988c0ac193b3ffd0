// The ring of three buffers against a device that plays in order and
// notifies from its own thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/AudioOutput.h"
#include "dsp/RenderBuffer.h"

namespace {

constexpr size_t kBufferSamples = kFramesPerBuffer * kChannels;

std::vector<int16_t> Frames(const std::vector<int16_t>& all, int32_t firstBuffer) {
  const auto begin = all.begin() + static_cast<ptrdiff_t>(firstBuffer * kBufferSamples);
  return std::vector<int16_t>(begin, begin + static_cast<ptrdiff_t>(kBufferSamples));
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
  void TearDown() override {
    StopAudio();
    SetWaveOutDevice(nullptr);
    SetMemoryBlockAllocator(DefaultMemoryBlockAllocator());
  }
  FakeWaveOut device{true};
};

// Start queues three buffers holding the first 12288 frames in order; each
// notice refills the finished buffer with the next 4096.
TEST_F(PlaybackRingTest, StartQueuesThreeBuffersAndEachNoticeRefillsTheFinishedOne) {
  constexpr int32_t kNotices = 7;
  const auto reference = ReferenceRender((3 + kNotices) * kFramesPerBuffer);
  StartAudio(nullptr);
  ASSERT_TRUE(device.WaitForWrites(3));

  EXPECT_EQ(device.openCalls(), 1);
  const WaveFormat format = device.openedFormat();
  EXPECT_EQ(format.formatTag, 1);
  EXPECT_EQ(format.channels, 2);
  EXPECT_EQ(format.samplesPerSecond, 44100u);
  EXPECT_EQ(format.averageBytesPerSecond, 176400u);
  EXPECT_EQ(format.blockAlign, 4);
  EXPECT_EQ(format.bitsPerSample, 16);
  EXPECT_EQ(format.extraSize, 0);
  const auto writes = device.Writes();
  ASSERT_EQ(writes.size(), 3u);
  for (int32_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(writes[i].ring, i);
    EXPECT_EQ(writes[i].bufferLength, kMemoryBlockBytes);
    EXPECT_EQ(writes[i].flags, kHeaderPrepared);  // 0 from the ring, then prepared
    EXPECT_EQ(waveHeaders[i].data, reinterpret_cast<char*>(memoryBlocks[i]));
    EXPECT_EQ(writes[i].samples, Frames(reference, i));
  }
  EXPECT_EQ(device.PrepareCalls(), 3);
  EXPECT_EQ(device.UnprepareCalls(), 0);
  EXPECT_EQ(nextBuffer.load(), 0);

  for (int32_t n = 0; n < kNotices; ++n) {
    SCOPED_TRACE(n);
    device.Allow(1);
    ASSERT_TRUE(device.WaitForWrites(4 + n));
    ASSERT_TRUE(WaitForNextBuffer((n + 1) % 3));
    const auto now = device.Writes();
    ASSERT_EQ(now.size(), static_cast<size_t>(4 + n));
    EXPECT_EQ(now.back().ring, n % 3);
    EXPECT_EQ(now.back().samples, Frames(reference, 3 + n));
    EXPECT_EQ(device.UnprepareCalls(), n + 1);
  }
}

TEST_F(PlaybackRingTest, NoticesOtherThanDoneChangeNothing) {
  const auto reference = ReferenceRender(4 * kFramesPerBuffer);
  StartAudio(nullptr);
  ASSERT_TRUE(device.WaitForWrites(3));

  // 0x0113 (WM_TIMER) stands for the system's own messages; Windows will
  // not post those whose parameters are pointers, such as WM_CREATE.
  for (uint32_t message : {kWaveOutOpen, kWaveOutClose, 0x0400u, 0x0113u, 958u}) {
    ASSERT_TRUE(playbackMessages.Post({message, 0, 0}));
  }
  // The queue is in order: by the time the real notice is handled, the
  // others have been, and they must not have rendered or queued anything.
  device.Allow(1);
  ASSERT_TRUE(device.WaitForWrites(4));
  ASSERT_TRUE(WaitForNextBuffer(1));
  const auto writes = device.Writes();
  EXPECT_EQ(writes[3].ring, 0);
  EXPECT_EQ(writes[3].samples, Frames(reference, 3));
  EXPECT_EQ(device.UnprepareCalls(), 1);
}

TEST_F(PlaybackRingTest, AnEmptyPatchPlaysZeroSamplesAndKeepsCirculating) {
  ResetEngine();
  StartAudio(nullptr);
  device.Allow(5);
  ASSERT_TRUE(device.WaitForWrites(8));
  for (const auto& written : device.Writes()) {
    EXPECT_EQ(written.samples, std::vector<int16_t>(kBufferSamples, 0));
  }
  // Every frame still advanced the noise source.
  NoiseGenerator expected;
  for (int32_t frame = 0; frame < 8 * kFramesPerBuffer; ++frame) expected.Advance();
  ASSERT_TRUE(WaitForNextBuffer(2));
  StopAudio();
  EXPECT_EQ(noiseGenerator.a, expected.a);
}

// A device that cannot open, or none at all, gives one message and renders nothing.
TEST_F(PlaybackRingTest, ADeviceThatCannotOpenGivesOneMessageAndRendersNothing) {
  ResetEngine();
  BuildTestPatch();
  device.openResult = kWaveBadDevice;
  for (bool withDevice : {true, false}) {
    SetWaveOutDevice(withDevice ? &device : nullptr);
    MessageCapture messages;
    StartAudio(nullptr);
    StopAudio();
    EXPECT_EQ(messages.texts, std::vector<std::string>{"waveOutOpen failed, check WAVE-Output settings"});
    EXPECT_EQ(waveDevice, nullptr);
  }
  EXPECT_EQ(device.openCalls(), 1);
  EXPECT_TRUE(device.Writes().empty());
  EXPECT_EQ(device.PrepareCalls(), 0);
  const NoiseGenerator untouched;
  EXPECT_EQ(noiseGenerator.a, untouched.a);
  EXPECT_EQ(noiseGenerator.b, untouched.b);
}

// Fails the allocations whose bit is set in `failing`, counted from the
// first allocation after SetUp.
int allocationCount = 0;
unsigned failingAllocations = 0;
void* AllocateUnlessFailing(size_t bytes) {
  const bool fail = (failingAllocations >> allocationCount++) & 1;
  return fail ? nullptr : std::malloc(bytes);
}

struct AllocationCase {
  unsigned failing;
  int messages;
};

void PrintTo(const AllocationCase& c, std::ostream* os) { *os << "failing mask " << c.failing; }

class AllocationFailureTest : public PlaybackRingTest, public ::testing::WithParamInterface<AllocationCase> {};

TEST_P(AllocationFailureTest, EachFailedBlockGivesItsMessageAndNothingPlays) {
  ResetEngine();
  allocationCount = 0;
  failingAllocations = GetParam().failing;
  SetMemoryBlockAllocator({AllocateUnlessFailing, std::free});
  MessageCapture messages;
  StartAudio(nullptr);

  EXPECT_EQ(messages.texts, std::vector<std::string>(GetParam().messages, "Error allocating MemoryBlock"));
  EXPECT_EQ(device.openCalls(), 0);
  EXPECT_EQ(waveDevice, nullptr);
  EXPECT_TRUE(device.Writes().empty());
  // The blocks that exist are still rendered, one buffer each.
  int32_t rendered = 0;
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    const bool failed = (GetParam().failing >> i) & 1;
    EXPECT_EQ(memoryBlocks[i] == nullptr, failed) << i;
    if (!failed) ++rendered;
  }
  NoiseGenerator expected;
  for (int32_t frame = 0; frame < rendered * kFramesPerBuffer; ++frame) expected.Advance();
  EXPECT_EQ(noiseGenerator.a, expected.a);
  EXPECT_EQ(noiseGenerator.c, expected.c);
}

INSTANTIATE_TEST_SUITE_P(FailedBlocks, AllocationFailureTest,
                         ::testing::Values(AllocationCase{0b001, 1}, AllocationCase{0b010, 1},
                                           AllocationCase{0b100, 1}, AllocationCase{0b101, 2},
                                           AllocationCase{0b111, 3}),
                         [](const auto& info) { return "FailingMask" + std::to_string(info.param.failing); });

TEST_F(PlaybackRingTest, AudioStopsAndStartsAgainFromAFreshRing) {
  StartAudio(nullptr);
  device.Allow(2);
  ASSERT_TRUE(device.WaitForWrites(5));
  StopAudio();
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) EXPECT_EQ(memoryBlocks[i], nullptr);
  EXPECT_EQ(waveDevice, nullptr);
  EXPECT_EQ(nextBuffer.load(), 0);

  FakeWaveOut second{true};
  SetWaveOutDevice(&second);
  StartAudio(nullptr);
  ASSERT_TRUE(second.WaitForWrites(3));
  const auto writes = second.Writes();
  EXPECT_EQ(writes[0].ring, 0);
  EXPECT_EQ(writes[2].ring, 2);
  second.Allow(1);
  ASSERT_TRUE(second.WaitForWrites(4));
  EXPECT_EQ(second.Writes()[3].ring, 0);
  StopAudio();
}

}  // namespace
