// Notices a device callback could not post because the playback thread's
// queue was full. Dropping a buffer-done notice would take that buffer out
// of the ring for good, so the callback keeps it and posts it again, before
// anything newer, each time it runs. Callback thread only, once the stream
// runs; never waits.
#pragma once

#include <cstdint>

#include "audio/ThreadMessageQueue.h"

template <uint32_t Capacity>
class PendingNotices {
 public:
  // Posts the notice after every one kept before it, or keeps it. Only a
  // notice beyond Capacity kept ones is lost; a ring of three buffers and
  // an open notice never come near that.
  void Post(ThreadMessageQueue& queue, const ThreadMessage& notice) {
    Retry(queue);
    if (count_ == 0 && queue.Post(notice)) return;
    Keep(notice);
  }

  // Keeps the notice for the next Retry without trying the queue.
  void Keep(const ThreadMessage& notice) {
    if (count_ < Capacity) kept_[count_++] = notice;
  }

  // Posts what was kept, oldest first, as far as the queue takes them.
  void Retry(ThreadMessageQueue& queue) {
    uint32_t sent = 0;
    while (sent < count_ && queue.Post(kept_[sent])) ++sent;
    for (uint32_t i = sent; i < count_; ++i) kept_[i - sent] = kept_[i];
    count_ -= sent;
  }

  uint32_t Count() const { return count_; }
  void Clear() { count_ = 0; }

 private:
  ThreadMessage kept_[Capacity];
  uint32_t count_ = 0;
};
