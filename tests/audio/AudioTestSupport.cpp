#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

#include "audio/AudioOutput.h"
#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"
#include "dsp/MessageSink.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"

void ResetEngine() { ResetEngineToProgramStart(); }

namespace {

using namespace BlockWord;

void SetInput(int32_t block, int32_t input, int32_t word) { DspMemory.Store(block + kInput + input, word); }

int32_t MakeBlock(std::initializer_list<int32_t> controllers) {
  const int32_t block = ReserveDSPBlock();
  int32_t c = 0;
  for (int32_t value : controllers) DspMemory.Store(block + kController + c++, value);
  return block;
}

}  // namespace

TestPatch BuildTestPatch() {
  TestPatch patch{};
  patch.constant = MakeBlock({32767, 20000});
  for (int32_t i = 0; i < 4; ++i) SetInput(patch.constant, i, patch.constant + i + 1);
  SetOpcode(patch.constant, 5);  // ADD of its own controllers 1..4

  patch.saw = MakeBlock({20437, 0, 0, 30000});
  SetInput(patch.saw, 2, patch.saw + 3);
  SetOpcode(patch.saw, 37 + 2);

  patch.noise = MakeBlock({26000, 0, 0, 12000});
  SetInput(patch.noise, 2, patch.noise + 3);
  SetOpcode(patch.noise, 37 + 5);

  patch.out = MakeBlock({0, 26000, 0, 0, 26000, 24000});
  SetInput(patch.out, 0, patch.constant + kOutput);
  SetInput(patch.out, 3, patch.saw + kOutput);
  SetInput(patch.out, 4, patch.noise + kOutput);
  SetOpcode(patch.out, 35);
  return patch;
}

std::vector<int16_t> ReferenceRender(int32_t frames) {
  ResetEngine();
  BuildTestPatch();
  std::vector<int16_t> samples(static_cast<size_t>(frames) * kChannels);
  RenderFrames(samples.data(), frames);
  ResetEngine();
  BuildTestPatch();
  return samples;
}

namespace {
void Capture(void* context, void*, const char* text, MessageIcon icon) {
  EXPECT_EQ(icon, MessageIcon::Warning);
  static_cast<MessageCapture*>(context)->texts.emplace_back(text);
}
}  // namespace

MessageCapture::MessageCapture() { SetMessageSink(Capture, this); }
MessageCapture::~MessageCapture() { SetMessageSink(nullptr, nullptr); }

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

uint32_t FakeWaveOut::PrepareHeader(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  ++prepareCalls_;
  header->flags |= kHeaderPrepared;
  return kWaveOk;
}

uint32_t FakeWaveOut::Write(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  const auto* samples = reinterpret_cast<const int16_t*>(header->data);
  writes_.push_back({static_cast<int32_t>(header - waveHeaders),
                     std::vector<int16_t>(samples, samples + header->bufferLength / sizeof(int16_t)),
                     header->bufferLength, header->flags});
  header->flags |= kHeaderInQueue;
  queued_.push_back(header);
  changed_.notify_all();
  return kWaveOk;
}

uint32_t FakeWaveOut::UnprepareHeader(WaveHeader* header) {
  std::lock_guard lock(mutex_);
  ++unprepareCalls_;
  header->flags &= ~kHeaderPrepared;
  return kWaveOk;
}

void FakeWaveOut::Close() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queued_.clear();
    changed_.notify_all();
  }
  if (player_.joinable()) player_.join();
}

void FakeWaveOut::Allow(int32_t buffers) {
  std::lock_guard lock(mutex_);
  credits_ += buffers;
  changed_.notify_all();
}

bool FakeWaveOut::WaitForWrites(size_t count) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return writes_.size() >= count; });
}

std::vector<FakeWaveOut::Written> FakeWaveOut::Writes() {
  std::lock_guard lock(mutex_);
  return writes_;
}

size_t FakeWaveOut::WriteCount() {
  std::lock_guard lock(mutex_);
  return writes_.size();
}

int32_t FakeWaveOut::PrepareCalls() {
  std::lock_guard lock(mutex_);
  return prepareCalls_;
}

int32_t FakeWaveOut::UnprepareCalls() {
  std::lock_guard lock(mutex_);
  return unprepareCalls_;
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
