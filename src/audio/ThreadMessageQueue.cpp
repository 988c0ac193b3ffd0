#include "audio/ThreadMessageQueue.h"

#include <thread>

bool ThreadMessageQueue::Post(const ThreadMessage& message) {
  if (!messages_.TryPush(message)) return false;
  posted_.release();
  return true;
}

int32_t ThreadMessageQueue::Get(ThreadMessage& message) {
  posted_.acquire();
  // The count says some message is complete, but with several posters the
  // oldest slot may belong to one that has claimed it and not yet stored:
  // that poster never waits, so it finishes within moments.
  while (!messages_.TryPop(message)) std::this_thread::yield();
  return message.message == kQuitMessage ? 0 : 1;
}

bool ThreadMessageQueue::Peek(ThreadMessage& message) {
  if (!posted_.try_acquire()) return false;
  while (!messages_.TryPop(message)) std::this_thread::yield();
  return true;
}
