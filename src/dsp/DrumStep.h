// DRM: plays one step of a 4-track x 64-step drum pattern on every rising edge
// of its step input, a one-frame trigger on each track whose step is set.
#pragma once

#include "dsp/Pools.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"

namespace drum_step {

constexpr int32_t kResetInput = 3, kStepInput = 4;
constexpr int32_t kCycleOut = 4;
constexpr int32_t kStepLatch = 0, kPosition = 1, kResetLatch = 2;  // state words

template <class View>
int32_t BankOffset(View b) {
  // Only buffer 0 exists; the mask keeps a stray bufferNumber inside it.
  const int32_t bank = (b.word(BlockWord::kBufferNumber) * kDrumBanks + drumBank) & (kDrumBanks - 1);
  return bank * kDrumBankBytes;
}

template <class View>
void PlayStep(View b) {
  int32_t position = b.state(kPosition);
  // 64 means the last pass ended; a negative position, which only a block's
  // former type can leave, is wrapped the same way.
  if (position >= kDrumSteps || position < 0) {
    position = 0;
    b.setOut(kCycleOut, kGateOn);
  }
  const int32_t bank = BankOffset(b);
  for (int32_t track = 0; track < kDrumTracks; ++track)
    if (GetDrumByte(bank + track * kDrumSteps + position) > 0) b.setOut(track, kGateOn);
  b.setState(kPosition, position + 1);
}

template <class View>
void RenderDRM(View b) {
  for (int32_t o = 0; o < kOutputCount; ++o) b.setOut(o, 0);

  const int32_t step = b.in(kStepInput);
  if (step <= 0) b.setState(kStepLatch, 0);
  const int32_t reset = b.in(kResetInput);
  if (reset <= 0) b.setState(kResetLatch, 0);

  if (reset > b.state(kResetLatch)) {
    b.setState(kResetLatch, kGateOn);
    b.setState(kPosition, 0);
    b.setOut(kCycleOut, kGateOn);
    return;
  }
  if (step > b.state(kStepLatch)) {
    b.setState(kStepLatch, kGateOn);
    PlayStep(b);
  }
}

}  // namespace drum_step

using drum_step::RenderDRM;
