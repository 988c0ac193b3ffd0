// The playback thread at its real-time priority and everything that posts
// to it on one CPU. A playback thread that spun while a poster of lower
// priority held a half-posted message would never let that poster run
// again; one that sleeps keeps the ring turning.
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>

#include "AudioTestSupport.h"
#include "audio/AudioOutput.h"

namespace {

constexpr int kPosters = 3;
constexpr size_t kRefills = 300;
// Kills the process (and fails the test) on a real hang; never reached otherwise.
constexpr unsigned kHangSeconds = 300;

bool MayUseRealTimePriority() {
  bool allowed = false;
  std::thread probe([&] {
    const sched_param parameter{sched_get_priority_min(SCHED_FIFO)};
    allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0;
  });
  probe.join();
  return allowed;
}

// The first CPU this thread may use, alone, while it lives.
struct OneCpu {
  OneCpu() {
    sched_getaffinity(0, sizeof before, &before);
    int cpu = 0;
    while (cpu < CPU_SETSIZE - 1 && !CPU_ISSET(cpu, &before)) ++cpu;
    cpu_set_t one{};
    CPU_SET(cpu, &one);
    pinned = sched_setaffinity(0, sizeof one, &one) == 0;
  }
  ~OneCpu() { sched_setaffinity(0, sizeof before, &before); }
  cpu_set_t before;
  bool pinned = false;
};

TEST(OneCpuPlaybackTest, RingKeepsTurningWhilePostersShareTheCpu) {
  if (!MayUseRealTimePriority()) GTEST_SKIP() << "this process may not use SCHED_FIFO; nothing to test";
  ResetEngine(), BuildTestPatch();
  FakeWaveOut device(false);
  SetWaveOutDevice(&device);
  {
    // Threads started from here on inherit the one CPU.
    OneCpu oneCpu;
    ASSERT_TRUE(oneCpu.pinned);
    alarm(kHangSeconds);
    StartAudio(nullptr);
    std::atomic<bool> stop{false};
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
      posters.emplace_back([&] {
        // Open notices: the playback thread takes and ignores them.
        while (!stop.load(std::memory_order_relaxed))
          if (!playbackMessages.Post({kWaveOutOpen, 0, 0})) sched_yield();
      });
    }
    EXPECT_TRUE(device.WaitForWrites(kMemoryBlockCount + kRefills));
    stop.store(true);
    for (auto& poster : posters) poster.join();
    StopAudio();
    alarm(0);
  }
  SetWaveOutDevice(nullptr);
  EXPECT_GE(device.WriteCount(), kMemoryBlockCount + kRefills);
}

}  // namespace
