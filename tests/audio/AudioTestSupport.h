// What the audio tests share: the engine helpers of the DSP tests, a patch
// built straight on DSP blocks and a wave-output device of the tests' own
// that plays in order and notifies from a thread of its own.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "audio/WaveOutDevice.h"
#include "dsp/DspTestSupport.h"

// A patch whose frames are never all zero: the left channel holds a constant
// from an ADD, the right one a sawtooth plus a noise oscillator, so frame
// order and continuity show in every buffer.
struct TestPatch { int32_t constant, saw, noise, out; };
TestPatch BuildTestPatch();

// Renders `frames` frames of BuildTestPatch from a fresh engine, then leaves
// the engine fresh with the same patch built again.
std::vector<int16_t> ReferenceRender(int32_t frames);

class FakeWaveOut final : public WaveOutDevice {
 public:
  // The ring's index into waveHeaders, the samples, and length and flags as the ring left them before Prepare.
  struct Written { int32_t ring; std::vector<int16_t> samples; uint32_t bufferLength, flags; };

  // A paced device finishes a buffer only when Allow grants it; an unpaced
  // one plays as fast as its thread runs.
  explicit FakeWaveOut(bool paced) : paced_(paced) {}
  ~FakeWaveOut() override { Close(); }

  uint32_t openResult = kWaveOk;

  uint32_t Open(const WaveFormat& format, ThreadMessageQueue* notify) override;
  uint32_t PrepareHeader(WaveHeader* header) override { std::lock_guard lock(mutex_); ++prepareCalls_; header->flags |= kHeaderPrepared; return kWaveOk; }
  uint32_t Write(WaveHeader* header) override;
  uint32_t UnprepareHeader(WaveHeader* header) override { std::lock_guard lock(mutex_); ++unprepareCalls_; header->flags &= ~kHeaderPrepared; return kWaveOk; }
  void Close() override;

  void Allow(int32_t buffers) { std::lock_guard lock(mutex_); credits_ += buffers; changed_.notify_all(); }
  // Waits (with a generous bound, so a broken ring fails instead of hanging)
  // until `count` writes have arrived.
  bool WaitForWrites(size_t count);
  std::vector<Written> Writes() { std::lock_guard lock(mutex_); return writes_; }
  size_t WriteCount() { std::lock_guard lock(mutex_); return writes_.size(); }
  WaveFormat openedFormat() const { return format_; }
  // Open, PrepareHeader, UnprepareHeader and Close calls so far.
  std::vector<int32_t> Calls() { std::lock_guard lock(mutex_); return {openCalls_, prepareCalls_, unprepareCalls_, closeCalls_}; }

 private:
  void PlayLoop();

  const bool paced_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<WaveHeader*> queued_;
  std::vector<Written> writes_;
  int32_t credits_ = 0, openCalls_ = 0, prepareCalls_ = 0, unprepareCalls_ = 0, closeCalls_ = 0;
  bool stopping_ = false;
  WaveFormat format_{};
  ThreadMessageQueue* notify_ = nullptr;
  std::thread player_;
};
