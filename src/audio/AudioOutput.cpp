#include "audio/AudioOutput.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/PlaybackPlatform.h"
#include "dsp/MessageSink.h"
#include "dsp/RenderBuffer.h"

int16_t* memoryBlocks[kMemoryBlockCount] = {};
WaveHeader waveHeaders[kMemoryBlockCount] = {};
WaveOutDevice* waveDevice = nullptr;
std::atomic<int32_t> nextBuffer{0};
ThreadMessageQueue playbackMessages;

namespace {

WaveOutDevice* selectedDevice = nullptr;
MemoryBlockAllocator allocator{playback_platform::AllocateBlock, playback_platform::ReleaseBlock};

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

MemoryBlockAllocator DefaultMemoryBlockAllocator() {
  return {playback_platform::AllocateBlock, playback_platform::ReleaseBlock};
}
void SetMemoryBlockAllocator(const MemoryBlockAllocator& newAllocator) { allocator = newAllocator; }

void StartAudio(void* /*window*/) {
  static bool stopAtExit = false;
  if (!stopAtExit) {
    std::atexit(StopAudio);
    stopAtExit = true;
  }

  playback_platform::StartThread();

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
      playback_platform::OpenPrimingGate();
      return;
    }
    waveDevice = selectedDevice;
  }

  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    if (memoryBlocks[i] == nullptr) continue;
    RenderBuffer(memoryBlocks[i]);
    QueueBuffer(i);
  }
  playback_platform::OpenPrimingGate();
}

uint32_t PlaybackThread(void* /*parameter*/) {
  ThreadMessage message;
  while (playbackMessages.Get(message) == 1) {
    if (message.message != kWaveOutDone) continue;
    playback_platform::WaitAtPrimingGate();
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
  if (!playback_platform::ThreadStarted()) return;
  // A full queue drains as the playback thread runs; wait for room asleep.
  while (!playbackMessages.Post({kQuitMessage, 0, 0})) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The quit waits behind any notices still queued; a notice that arrives
  // during priming must not keep the thread from reaching it.
  playback_platform::OpenPrimingGate();
  playback_platform::JoinThread();

  if (waveDevice != nullptr) {
    waveDevice->Close();
    waveDevice = nullptr;
  }
  playbackMessages.Detach();
  for (int32_t i = 0; i < kMemoryBlockCount; ++i) {
    if (memoryBlocks[i] != nullptr) allocator.release(memoryBlocks[i]);
    memoryBlocks[i] = nullptr;
    waveHeaders[i] = WaveHeader{};
  }
  nextBuffer.store(0, std::memory_order_relaxed);
  playback_platform::ClosePrimingGate();
}
