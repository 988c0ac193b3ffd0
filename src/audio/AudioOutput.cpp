#include "audio/AudioOutput.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "dsp/MessageSink.h"
#include "dsp/RenderBuffer.h"

int16_t* memoryBlocks[kMemoryBlockCount] = {};
WaveHeader waveHeaders[kMemoryBlockCount] = {};
WaveOutDevice* waveDevice = nullptr;
std::atomic<int32_t> nextBuffer{0};
ThreadMessageQueue playbackMessages;

namespace {

void* AllocateWithMalloc(size_t bytes) { return std::malloc(bytes); }

WaveOutDevice* selectedDevice = nullptr;
MemoryBlockAllocator allocator{AllocateWithMalloc, std::free};
std::thread playbackThread;
// Holds the new thread until its scheduling is set, as a thread created
// suspended. It outlives StartAudio: the thread may reach it late.
std::binary_semaphore playbackResume{0};

// Priming renders on the starting thread. A device that plays faster than
// real time could hand back buffer 0 while buffers 1 and 2 are still being
// rendered, and two renders must never overlap; the playback thread takes
// its first notice only after this flag is set, which also hands it the
// blocks and headers the starting thread wrote.
std::atomic<bool> primingDone{false};

// The refill itself cannot run late without being heard, so the thread asks
// for a real-time class. Unprivileged processes are refused; that is fine.
// (Linux has no process-wide class to match; only this thread asks.)
void RequestRealTimeScheduling(std::thread& thread) {
  sched_param parameter{};
  parameter.sched_priority = sched_get_priority_max(SCHED_FIFO) - 20;
  pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &parameter);
}

void QueueBuffer(int32_t i) {
  WaveHeader& header = waveHeaders[i];
  header.data = reinterpret_cast<char*>(memoryBlocks[i]);
  header.bufferLength = kMemoryBlockBytes;
  header.flags = 0;
  if (waveDevice == nullptr) return;
  waveDevice->PrepareHeader(&header);
  waveDevice->Write(&header);
}

WaveFormat PlaybackFormat() {
  WaveFormat format;
  format.formatTag = 1;
  format.channels = kChannels;
  format.samplesPerSecond = kSampleRate;
  format.blockAlign = kChannels * sizeof(int16_t);
  format.averageBytesPerSecond = kSampleRate * format.blockAlign;
  format.bitsPerSample = 16;
  format.extraSize = 0;
  return format;
}

}  // namespace

void SetWaveOutDevice(WaveOutDevice* device) { selectedDevice = device; }

MemoryBlockAllocator DefaultMemoryBlockAllocator() { return {AllocateWithMalloc, std::free}; }
void SetMemoryBlockAllocator(const MemoryBlockAllocator& newAllocator) { allocator = newAllocator; }

void StartAudio(void* /*window*/) {
  static bool stopAtExit = false;
  if (!stopAtExit) {
    std::atexit(StopAudio);
    stopAtExit = true;
  }

  playbackThread = std::thread([] {
    playbackResume.acquire();
    PlaybackThread(nullptr);
  });
  RequestRealTimeScheduling(playbackThread);
  playbackResume.release();

  const WaveFormat format = PlaybackFormat();
  nextBuffer.store(0, std::memory_order_relaxed);

  bool allAllocated = true;
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    memoryBlocks[i] = static_cast<int16_t*>(allocator.allocate(kMemoryBlockBytes));
    if (memoryBlocks[i] == nullptr) {
      ShowMessage(nullptr, "Error allocating MemoryBlock", MessageIcon::Warning);
      allAllocated = false;
    }
  }

  if (allAllocated) {
    if (selectedDevice == nullptr || selectedDevice->Open(format, &playbackMessages) != kWaveOk) {
      ShowMessage(nullptr, "waveOutOpen failed, check WAVE-Output settings", MessageIcon::Warning);
      primingDone.store(true, std::memory_order_release);
      return;
    }
    waveDevice = selectedDevice;
  }

  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    if (memoryBlocks[i] == nullptr) continue;
    RenderBuffer(memoryBlocks[i]);
    QueueBuffer(i);
  }
  primingDone.store(true, std::memory_order_release);
  primingDone.notify_all();
}

uint32_t PlaybackThread(void* /*parameter*/) {
  ThreadMessage message;
  while (playbackMessages.Get(message) == 1) {
    if (message.message != kWaveOutDone) continue;
    primingDone.wait(false, std::memory_order_acquire);
    RefillBuffer();
  }
  return 0;
}

void RefillBuffer() {
  // The device completes buffers in the order queued, so the finished one
  // is always the one at nextBuffer, whatever the notice names.
  const int32_t i = nextBuffer.load(std::memory_order_relaxed);
  if (waveDevice != nullptr) waveDevice->UnprepareHeader(&waveHeaders[i]);
  nextBuffer.store(i + 1, std::memory_order_relaxed);
  if (memoryBlocks[i] != nullptr) {
    RenderBuffer(memoryBlocks[i]);
    QueueBuffer(i);
  }
  if (nextBuffer.load(std::memory_order_relaxed) >= kMemoryBlockCount) nextBuffer.store(0, std::memory_order_relaxed);
}

void StopAudio() {
  if (!playbackThread.joinable()) return;
  // A full queue drains as the playback thread runs; wait for room asleep.
  while (!playbackMessages.Post({kQuitMessage, 0, 0})) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The quit waits behind any notices still queued; a notice that arrives
  // during priming must not keep the thread from reaching it.
  primingDone.store(true, std::memory_order_release);
  primingDone.notify_all();
  playbackThread.join();

  if (waveDevice != nullptr) {
    waveDevice->Close();
    waveDevice = nullptr;
  }
  ThreadMessage leftover;
  while (playbackMessages.Peek(leftover)) {
  }
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    if (memoryBlocks[i] != nullptr) allocator.release(memoryBlocks[i]);
    memoryBlocks[i] = nullptr;
    waveHeaders[i] = WaveHeader{};
  }
  nextBuffer.store(0, std::memory_order_relaxed);
  primingDone.store(false, std::memory_order_relaxed);
}
