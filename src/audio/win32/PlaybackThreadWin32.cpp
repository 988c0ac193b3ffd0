#include <windows.h>

#include "audio/AudioOutput.h"
#include "audio/PlaybackPlatform.h"

namespace {

HANDLE playbackThread = nullptr;
// Set by the new thread once its message queue exists: waveOutOpen must not
// post its open notice to a thread that has none.
HANDLE playbackAttached = nullptr;
// Manual-reset; MinGW's atomic waits spin, this one sleeps.
HANDLE primingDone = nullptr;

DWORD WINAPI PlaybackThreadProcedure(LPVOID) {
  playbackMessages.Attach();
  SetEvent(playbackAttached);
  return PlaybackThread(nullptr);
}

}  // namespace

namespace playback_platform {

void StartThread() {
  if (playbackAttached == nullptr) playbackAttached = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (primingDone == nullptr) primingDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  playbackThread = CreateThread(nullptr, 0, PlaybackThreadProcedure, nullptr, CREATE_SUSPENDED, &id);
  if (playbackThread == nullptr) return;  // nothing will be attached; opening the device fails
  // Both requests may be refused or lowered (real time needs rights); the
  // thread then runs at what it gets.
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  SetThreadPriority(playbackThread, THREAD_PRIORITY_TIME_CRITICAL);
  ResumeThread(playbackThread);
  WaitForSingleObject(playbackAttached, INFINITE);
}

bool ThreadStarted() { return playbackThread != nullptr; }

void JoinThread() {
  WaitForSingleObject(playbackThread, INFINITE);
  CloseHandle(playbackThread);
  playbackThread = nullptr;
}

void OpenPrimingGate() { SetEvent(primingDone); }
void WaitAtPrimingGate() { WaitForSingleObject(primingDone, INFINITE); }
void ClosePrimingGate() { ResetEvent(primingDone); }

// Fixed, shareable global memory (GMEM_SHARE, 8192): the pointer is the handle.
void* AllocateBlock(size_t bytes) { return reinterpret_cast<void*>(GlobalAlloc(GMEM_FIXED | GMEM_SHARE, bytes)); }
void ReleaseBlock(void* block) { GlobalFree(reinterpret_cast<HGLOBAL>(block)); }

}  // namespace playback_platform
