// The playback thread's message queue, in the manner of a Windows thread
// message queue: any thread (a device callback included) posts without
// blocking or waiting; the owner sleeps in Get until a message arrives and
// never spins. On Windows it is the owner thread's own message queue, so
// that waveOut posts its notices straight into it.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <atomic>
#else
#include "audio/BoundedQueue.h"
#include "audio/CountingSemaphore.h"
#endif

struct ThreadMessage {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Get returns 0 for this message, as GetMessage does for WM_QUIT.
inline constexpr uint32_t kQuitMessage = 0x0012;

class ThreadMessageQueue {
 public:
  // Owner thread, before anyone posts: on Windows creates the thread's
  // system queue and makes this thread the owner; elsewhere nothing to do.
  void Attach();
  // Once the owner thread has ended: what it left unread is dropped, so that
  // the next owner starts empty.
  void Detach();
  // The attached owner's system thread id (what waveOut notifies); 0 before
  // Attach and on systems whose queue is our own.
  uint32_t OwnerThreadId() const;
  // Any thread; lock-free, never waits, never allocates. False when full
  // (on Windows also when no owner is attached).
  bool Post(const ThreadMessage& message);
  // Owner thread only: sleeps until a message is there. 1 for a message,
  // 0 for kQuitMessage.
  int32_t Get(ThreadMessage& message);
  // Owner thread only: takes a message if one is there, without sleeping.
  // False also while the oldest message is still being posted.
  bool Peek(ThreadMessage& message);

 private:
#ifdef _WIN32
  std::atomic<uint32_t> owner_{0};
#else
  static constexpr uint32_t kCapacity = 64;
  BoundedQueue<ThreadMessage, kCapacity> messages_;
  // Counts messages fully posted; Get sleeps on it.
  CountingSemaphore posted_{0};
  // Owner only: counts taken from posted_ whose messages are not taken yet.
  uint32_t completed_ = 0;
#endif
};
