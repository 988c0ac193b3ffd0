// The semaphore the playback thread sleeps on. C++20's counting_semaphore
// on Linux; on Windows the system's own, since MinGW's library builds
// std::counting_semaphore on atomic waits without a futex, which spin.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>

class CountingSemaphore {
 public:
  explicit CountingSemaphore(LONG initial) : handle_(CreateSemaphoreA(nullptr, initial, kMost, nullptr)) {}
  ~CountingSemaphore() { CloseHandle(handle_); }
  CountingSemaphore(const CountingSemaphore&) = delete;
  CountingSemaphore& operator=(const CountingSemaphore&) = delete;

  void release() { ReleaseSemaphore(handle_, 1, nullptr); }
  void acquire() { WaitForSingleObject(handle_, INFINITE); }
  bool try_acquire() { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

 private:
  static constexpr LONG kMost = 0x7FFFFFFF;
  HANDLE handle_;
};
#else
#include <semaphore>

using CountingSemaphore = std::counting_semaphore<0x7FFFFFFF>;
#endif
