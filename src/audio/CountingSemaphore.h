// The semaphore our own playback queue sleeps on. (On Windows the queue is
// the thread's system message queue and needs none.)
#pragma once

#include <semaphore>

using CountingSemaphore = std::counting_semaphore<0x7FFFFFFF>;
