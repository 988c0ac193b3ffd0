#include "AudioTestSupport.h"

#include <chrono>

#include "audio/AudioOutput.h"
#include "dsp/StepKinds.h"

TestPatch BuildTestPatch() {
  const TestPatch patch{MakeBlock(Opcode::kADD, {32767, 20000}, {1, 2, 3, 4}),  // the sum of its own controllers 1..4
                        MakeBlock(Opcode::kOscillatorFirst + 2, {20437, 0, 0, 30000}, {35, 35, 3}),
                        MakeBlock(Opcode::kOscillatorFirst + 5, {26000, 0, 0, 12000}, {35, 35, 3}),
                        MakeBlock(Opcode::kOUT, {0, 26000, 0, 0, 26000, 24000})};
  Wire(patch.out, 0, patch.constant, 0), Wire(patch.out, 3, patch.saw, 0), Wire(patch.out, 4, patch.noise, 0);
  return patch;
}

std::vector<int16_t> ReferenceRender(int32_t frames) {
  ResetEngine(), BuildTestPatch();
  const std::vector<int16_t> samples = Render(frames);
  ResetEngine(), BuildTestPatch();
  return samples;
}

uint32_t FakeWaveOut::Open(const WaveFormat& format, ThreadMessageQueue* notify) {
  std::lock_guard lock(mutex_);
  ++openCalls_;
  format_ = format;
  if (openResult != kWaveOk) return openResult;
  notify_ = notify;
  stopping_ = false;
  player_ = std::thread([this] { PlayLoop(); });
  notify_->Post({kWaveOutOpen, 0, 0});
  return kWaveOk;
}

uint32_t FakeWaveOut::Write(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  const auto* samples = reinterpret_cast<const int16_t*>(header->data);
  writes_.push_back({static_cast<int32_t>(header - waveHeaders), {samples, samples + header->bufferLength / sizeof(int16_t)},
                     header->bufferLength, header->flags});
  header->flags |= kHeaderInQueue;
  queued_.push_back(header);
  changed_.notify_all();
  return kWaveOk;
}

void FakeWaveOut::Close() {
  {
    std::lock_guard lock(mutex_);
    ++closeCalls_;
    stopping_ = true;
    queued_.clear();
    changed_.notify_all();
  }
  if (player_.joinable()) player_.join();
}

bool FakeWaveOut::WaitForWrites(size_t count) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return writes_.size() >= count; });
}

void FakeWaveOut::PlayLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || (!queued_.empty() && (!paced_ || credits_ > 0)); });
    if (stopping_) return;
    WaveHeader* header = queued_.front();
    queued_.pop_front();
    if (paced_) --credits_;
    header->flags = (header->flags & ~kHeaderInQueue) | kHeaderDone;
    ThreadMessageQueue* notify = notify_;
    lock.unlock();
    // A device never loses a done notice; with the queue full it tries
    // again. A Windows queue refuses for good once its thread has ended, and
    // Close then waits for this loop.
    while (!notify->Post({kWaveOutDone, 0, reinterpret_cast<intptr_t>(header)})) {
      lock.lock();
      if (stopping_) return;
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    lock.lock();
  }
}
