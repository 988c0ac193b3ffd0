#include "audio/ThreadMessageQueue.h"

// Our own queue needs no owner: any thread that calls Get or Peek is it.
void ThreadMessageQueue::Attach() {}
uint32_t ThreadMessageQueue::OwnerThreadId() const { return 0; }

void ThreadMessageQueue::Detach() {
  ThreadMessage leftover;
  while (Peek(leftover)) {
  }
}

bool ThreadMessageQueue::Post(const ThreadMessage& message) {
  if (!messages_.TryPush(message)) return false;
  posted_.release();
  return true;
}

// Every count taken from the semaphore stands for one message whose store
// is complete, though not always the oldest: with several posters, the
// oldest slot may belong to one that has claimed it and not stored yet.
// That poster releases the semaphore once it has stored, so the owner
// sleeps on the semaphore again instead of spinning; a real-time owner that
// spun would starve a preempted poster of lower priority on the same CPU.
int32_t ThreadMessageQueue::Get(ThreadMessage& message) {
  if (completed_ == 0) {
    posted_.acquire();
    ++completed_;
  }
  while (!messages_.TryPop(message)) {
    posted_.acquire();
    ++completed_;
  }
  --completed_;
  return message.message == kQuitMessage ? 0 : 1;
}

bool ThreadMessageQueue::Peek(ThreadMessage& message) {
  if (completed_ == 0) {
    if (!posted_.try_acquire()) return false;
    ++completed_;
  }
  if (!messages_.TryPop(message)) return false;
  --completed_;
  return true;
}
