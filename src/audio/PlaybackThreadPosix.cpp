#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cstdlib>
#include <semaphore>
#include <thread>

#include "audio/AudioOutput.h"
#include "audio/PlaybackPlatform.h"

namespace {

std::thread playbackThread;
// Holds the new thread until its scheduling is set, as a thread created
// suspended. It outlives StartThread: the thread may reach it late.
std::binary_semaphore playbackResume{0};
std::atomic<bool> primingDone{false};

// The refill itself cannot run late without being heard, so the thread asks
// for a real-time class. Unprivileged processes are refused; that is fine.
// (Linux has no process-wide class to match; only this thread asks.)
void RequestRealTimeScheduling(std::thread& thread) {
  sched_param parameter{};
  parameter.sched_priority = sched_get_priority_max(SCHED_FIFO) - 20;
  pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &parameter);
}

}  // namespace

namespace playback_platform {

void StartThread() {
  playbackThread = std::thread([] {
    playbackResume.acquire();
    playbackMessages.Attach();
    PlaybackThread(nullptr);
  });
  RequestRealTimeScheduling(playbackThread);
  playbackResume.release();
}

bool ThreadStarted() { return playbackThread.joinable(); }
void JoinThread() { playbackThread.join(); }

void OpenPrimingGate() {
  primingDone.store(true, std::memory_order_release);
  primingDone.notify_all();
}
void WaitAtPrimingGate() { primingDone.wait(false, std::memory_order_acquire); }
void ClosePrimingGate() { primingDone.store(false, std::memory_order_relaxed); }

void* AllocateBlock(size_t bytes) { return std::malloc(bytes); }
void ReleaseBlock(void* block) { std::free(block); }

}  // namespace playback_platform
