// The lock-free queues the device callback and the playback thread share. The
// bounded queue under them is covered through ThreadMessageQueue: order, the
// refusal when full and many laps around its slots.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "audio/PendingNotices.h"
#include "audio/ThreadMessageQueue.h"

namespace {

TEST(ThreadMessageQueueTest, GetReturnsMessagesInOrderAndZeroForQuit) {
  ThreadMessageQueue queue;
  queue.Attach();
  for (const ThreadMessage& message : {ThreadMessage{957, 1, 2}, {955, 0, 0}, {kQuitMessage, 0, 0}}) ASSERT_TRUE(queue.Post(message));
  ThreadMessage first, second, quit;
  EXPECT_EQ((std::vector{queue.Get(first), queue.Get(second), queue.Get(quit)}), (std::vector{1, 1, 0}));
  EXPECT_EQ(std::tie(first.message, first.wParam, first.lParam, second.message), std::make_tuple(957u, uintptr_t{1}, intptr_t{2}, 955u));
  EXPECT_FALSE(queue.Peek(quit));
}

#ifndef _WIN32
// Our own queue's limit; a Windows thread queue holds thousands.
TEST(ThreadMessageQueueTest, PostFailsWhenFullInsteadOfWaiting) {
  ThreadMessageQueue queue;
  int posted = 0;
  while (queue.Post({957, 0, 0})) ++posted;
  EXPECT_EQ(posted, 64);
  ThreadMessage message;
  EXPECT_TRUE(queue.Peek(message));
  EXPECT_TRUE(queue.Post({958, 0, 0}));
}
#endif

// Several posters at once, the owner asleep in Get: nothing lost, nothing
// doubled, each poster's messages in its own order.
TEST(ThreadMessageQueueTest, ManyPostersOneSleepingReader) {
  constexpr int kPosters = 4, kEach = 20000;
  ThreadMessageQueue queue;
  queue.Attach();
  std::vector<std::thread> posters;
  for (int p = 0; p < kPosters; ++p) {
    posters.emplace_back([&queue, p] {
      for (int n = 0; n < kEach; ++n)
        while (!queue.Post({957, static_cast<uintptr_t>(p), n})) std::this_thread::yield();
    });
  }
  std::vector<intptr_t> nextExpected(kPosters, 0);
  ThreadMessage message;
  for (int received = 0; received < kPosters * kEach; ++received) {
    ASSERT_TRUE(queue.Get(message) == 1 && message.wParam < static_cast<uintptr_t>(kPosters));
    ASSERT_EQ(message.lParam, nextExpected[message.wParam]++);
  }
  for (auto& poster : posters) poster.join();
  EXPECT_FALSE(queue.Peek(message));
}

#ifndef _WIN32
// Only the Linux device keeps notices; it needs a queue that fills.
// A done notice that finds the queue full is kept, not lost, and reaches
// the queue before any later notice once there is room.
TEST(PendingNoticesTest, KeepsWhatAFullQueueRefusesAndPostsItFirstLater) {
  ThreadMessageQueue queue;
  while (queue.Post({955, 0, 0})) continue;
  PendingNotices<4> notices;
  notices.Post(queue, {957, 0, 1}), notices.Post(queue, {957, 0, 2});
  EXPECT_EQ(notices.Count(), 2u);
  ThreadMessage message;
  std::vector<intptr_t> order;
  const auto drain = [&] { while (queue.Peek(message)) if (message.message == 957) order.push_back(message.lParam); };
  ASSERT_TRUE(queue.Peek(message));  // room for one: the oldest kept notice takes it
  notices.Post(queue, {957, 0, 3});
  EXPECT_EQ(notices.Count(), 2u);
  drain(), notices.Retry(queue);
  EXPECT_EQ(notices.Count(), 0u);
  drain();
  EXPECT_EQ(order, (std::vector<intptr_t>{1, 2, 3}));
}
#endif

#ifdef _WIN32
// waveOut is given the owner's thread id: posts reach that thread's queue
// and no other, and before an owner attaches there is nowhere to post.
TEST(ThreadMessageQueueTest, PostsGoToTheAttachedThreadOnly) {
  ThreadMessageQueue queue;
  EXPECT_EQ(queue.OwnerThreadId(), 0u);
  EXPECT_FALSE(queue.Post({957, 0, 1}));
  std::atomic<uint32_t> ownerId{0};
  ThreadMessage received;
  std::thread owner([&] { queue.Attach(), ownerId = GetCurrentThreadId(), queue.Get(received); });
  while (queue.OwnerThreadId() == 0) std::this_thread::yield();
  ASSERT_TRUE(queue.Post({957, 3, 4}));
  owner.join();
  EXPECT_EQ(std::tie(received.message, received.lParam), std::make_tuple(957u, intptr_t{4}));
  EXPECT_EQ(queue.OwnerThreadId(), ownerId.load());
  ThreadMessage none;
  EXPECT_FALSE(queue.Peek(none));  // nothing went to this thread
  queue.Detach();
  EXPECT_FALSE(queue.Post({957, 0, 5}));
}
#endif

}  // namespace
