// Real-time audio output: three MemoryBlocks of 4096 stereo frames circulate
// between the render loop and the wave-output device. StartAudio renders and
// queues all three; from then on the playback thread renders the next 4096
// frames into each buffer the device hands back and queues it again.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "audio/ThreadMessageQueue.h"
#include "audio/WaveOutDevice.h"

inline constexpr int32_t kMemoryBlockCount = 3;
inline constexpr uint32_t kMemoryBlockBytes = 16384;  // 4096 frames x 2 channels x 2 bytes

// An entry stays null when its allocation failed.
extern int16_t* memoryBlocks[kMemoryBlockCount];
// Header i always describes memoryBlocks[i].
extern WaveHeader waveHeaders[kMemoryBlockCount];
// The opened device; null when opening was skipped or failed.
extern WaveOutDevice* waveDevice;
// Ring index of the buffer whose completion is expected next, 0..2. Only the
// playback thread writes it once audio runs; atomic so that others may watch.
extern std::atomic<int32_t> nextBuffer;
// Where the device posts its notices; PlaybackThread sleeps on it.
extern ThreadMessageQueue playbackMessages;

// Starts the playback thread, opens the device and primes the ring. Called
// once; the window is not used. Failures go to the message sink and leave
// audio silent.
void StartAudio(void* window);
// The playback thread's procedure: refills a buffer for every kWaveOutDone.
// Returns 0 when a kQuitMessage ends its loop.
uint32_t PlaybackThread(void* parameter);
// The buffer-completion step.
void RefillBuffer();

// The device StartAudio opens. Without one, opening fails as on a machine
// without sound.
void SetWaveOutDevice(WaveOutDevice* device);

// Where the MemoryBlocks come from; tests inject failures here.
struct MemoryBlockAllocator {
  void* (*allocate)(size_t bytes);
  void (*release)(void* block);
};
void SetMemoryBlockAllocator(const MemoryBlockAllocator& allocator);
MemoryBlockAllocator DefaultMemoryBlockAllocator();

// Ends the playback thread, closes the device and returns the blocks, so that
// audio can be started again. Also runs at process exit, before static
// storage goes away, so that no callback outlives what it reads.
void StopAudio();
