#include <windows.h>

#include "audio/ThreadMessageQueue.h"

static_assert(kQuitMessage == WM_QUIT);

void ThreadMessageQueue::Attach() {
  // A thread has no message queue until it first calls a message function;
  // posts before that fail.
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  owner_.store(GetCurrentThreadId(), std::memory_order_relaxed);
}

// The system queue went away with its thread, and its messages with it.
void ThreadMessageQueue::Detach() { owner_.store(0, std::memory_order_relaxed); }

uint32_t ThreadMessageQueue::OwnerThreadId() const { return owner_.load(std::memory_order_relaxed); }

bool ThreadMessageQueue::Post(const ThreadMessage& message) {
  const DWORD owner = owner_.load(std::memory_order_relaxed);
  if (owner == 0) return false;
  return PostThreadMessageA(owner, message.message, message.wParam, message.lParam) != 0;
}

// GetMessageA gives nonzero for a message, 0 for WM_QUIT and -1 for an
// error; an error ends the loop as a quit does.
int32_t ThreadMessageQueue::Get(ThreadMessage& message) {
  MSG got{};
  const BOOL result = GetMessageA(&got, nullptr, 0, 0);
  message = {got.message, got.wParam, got.lParam};
  if (result < 0) return -1;
  return result == 0 ? 0 : 1;
}

bool ThreadMessageQueue::Peek(ThreadMessage& message) {
  MSG got{};
  if (!PeekMessageA(&got, nullptr, 0, 0, PM_REMOVE)) return false;
  message = {got.message, got.wParam, got.lParam};
  return true;
}
