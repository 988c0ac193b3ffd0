// A fixed-capacity queue that any number of threads may push to and one
// thread pops from, without locks or allocation: each slot carries a
// sequence number that tells whether it is free, being filled or full
// (after D. Vyukov's bounded queue). Pushing never waits; it fails when the
// queue is full, so it is safe in an audio callback.
#pragma once

#include <atomic>
#include <cstdint>

template <typename T, uint32_t Capacity>
class BoundedQueue {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

 public:
  BoundedQueue() {
    for (uint32_t i = 0; i < Capacity; ++i) slots_[i].sequence.store(i, std::memory_order_relaxed);
  }
  BoundedQueue(const BoundedQueue&) = delete;
  BoundedQueue& operator=(const BoundedQueue&) = delete;

  // Any thread. Returns false when every slot is taken.
  bool TryPush(const T& value) {
    uint32_t position = pushPosition_.load(std::memory_order_relaxed);
    Slot* slot;
    for (;;) {
      slot = &slots_[position & kMask];
      const uint32_t sequence = slot->sequence.load(std::memory_order_acquire);
      const auto lag = static_cast<int32_t>(sequence - position);
      if (lag == 0) {
        if (pushPosition_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) break;
      } else if (lag < 0) {
        return false;
      } else {
        position = pushPosition_.load(std::memory_order_relaxed);
      }
    }
    slot->value = value;
    slot->sequence.store(position + 1, std::memory_order_release);
    return true;
  }

  // The one consumer thread. Returns false when the oldest claimed slot is
  // not filled yet (empty, or a producer is between claim and store).
  bool TryPop(T& value) {
    Slot& slot = slots_[popPosition_ & kMask];
    if (slot.sequence.load(std::memory_order_acquire) != popPosition_ + 1) return false;
    value = slot.value;
    slot.sequence.store(popPosition_ + Capacity, std::memory_order_release);
    ++popPosition_;
    return true;
  }

 private:
  static constexpr uint32_t kMask = Capacity - 1;
  struct Slot {
    std::atomic<uint32_t> sequence;
    T value{};
  };
  Slot slots_[Capacity];
  std::atomic<uint32_t> pushPosition_{0};
  uint32_t popPosition_ = 0;  // consumer only
};
