// What the playback ring asks of the system, one source file per system:
// the playback thread, the gate that holds its first refill until priming
// is done, and the memory of the MemoryBlocks.
#pragma once

#include <cstddef>

namespace playback_platform {

// Creates the playback thread, asks for real-time priority and lets it run:
// it attaches playbackMessages, then runs PlaybackThread. Returns once the
// thread may be posted to.
void StartThread();
bool ThreadStarted();
// Waits, asleep, for the thread's loop to end, and lets the thread go.
void JoinThread();

// Priming renders on the starting thread. A device that plays faster than
// real time could hand back buffer 0 while buffers 1 and 2 are still being
// rendered, and two renders must never overlap; the playback thread takes
// its first notice only after the gate opens, which also hands it the
// blocks and headers the starting thread wrote.
void OpenPrimingGate();
void WaitAtPrimingGate();  // playback thread; sleeps, never spins
void ClosePrimingGate();   // only while no playback thread runs

void* AllocateBlock(size_t bytes);
void ReleaseBlock(void* block);

}  // namespace playback_platform
