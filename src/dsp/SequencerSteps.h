// SEQ, a 16-step sequencer advanced by triggers, and CNT, a five-bit ripple
// counter. Both keep their trigger latch in controller 5.
#pragma once

#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"

namespace sequencer_steps {

constexpr int32_t kRestartOrReset = 3, kStepOrTrigger = 4;
constexpr int32_t kTriggerLatch = 5;  // ctl(5)
constexpr int32_t kSeqPosition = 0;   // state(0)
constexpr int32_t kResOut = 4;
constexpr int32_t kLastStep = kSequencerSteps - 1;

// "Sequence Length" >> 11 is the last step played; a patch file can hold a
// larger controller value than the panel allows, so it is confined to 15.
template <class View>
int32_t LastStep(View b) {
  const int32_t last = b.ctl(0) >> 11;
  return last > kLastStep ? kLastStep : last;
}

// A position left outside 0..15 by a block's former type reads step 0, the
// step the next trigger's wrap moves to; the word itself is corrected then.
inline int32_t StepWordFor(int32_t position) {
  const bool inRange = position >= 0 && position <= kLastStep;
  return BlockWord::kStep + (inRange ? position : 0);
}

template <class View>
void RenderSEQ(View b) {
  b.setOut(kResOut, 0);
  int32_t latch = b.ctl(kTriggerLatch);
  const bool stepped = GateRises(b.in(kStepOrTrigger), latch);
  b.setCtl(kTriggerLatch, latch);
  if (stepped) {
    const int32_t position = b.state(kSeqPosition);
    if (position > LastStep(b) - 1 || position < 0) {
      b.setState(kSeqPosition, 0);
      b.setOut(kResOut, kGateOn);
    } else {
      b.setState(kSeqPosition, position + 1);
    }
  }
  if (b.in(kRestartOrReset) > 0) {
    b.setState(kSeqPosition, 0);
    b.setOut(kResOut, kGateOn);
  }
  b.setOut(0, b.word(StepWordFor(b.state(kSeqPosition))));
}

// out(0)..out(4) hold the count's bits, least significant first.
template <class View>
void RenderCNT(View b) {
  int32_t latch = b.ctl(kTriggerLatch);
  const bool triggered = GateRises(b.in(kStepOrTrigger), latch);
  b.setCtl(kTriggerLatch, latch);
  if (triggered) {
    for (int32_t bit = 0; bit < kOutputCount; ++bit) {
      const int32_t turnedOn = b.out(bit) == 0 ? kGateOn : 0;
      b.setOut(bit, turnedOn);
      if (turnedOn != 0) break;  // no carry into the next bit
    }
  }
  if (b.in(kRestartOrReset) > 0)
    for (int32_t bit = 0; bit < kOutputCount; ++bit) b.setOut(bit, 0);
}

}  // namespace sequencer_steps

using sequencer_steps::RenderSEQ;
using sequencer_steps::RenderCNT;
