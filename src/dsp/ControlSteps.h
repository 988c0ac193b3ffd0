// Control-signal shapers: the envelope ENV, sample-and-hold S/H, portamento
// GLI and the two-way switch SWI.
#pragma once

#include "dsp/FixedPoint.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"
#include "dsp/Tables.h"

namespace control_steps {

// ENV words: the level runs 0..16384000 (32000 x 512).
constexpr int32_t kEnvAttackFlag = 1;  // out(1)
constexpr int32_t kEnvLevel = 2;       // out(2)
constexpr int32_t kEnvLatch = 3;       // out(3)
constexpr int32_t kEnvPeak = 16384000;
constexpr int32_t kAttackRate = 0, kDecay1Rate = 1, kBreakPoint = 2, kDecay2Rate = 3, kGate = 4;

template <class View>
int32_t EnvelopeAttack(View b, int32_t level) {
  level = fx::Add(level, Curve(b.in(kAttackRate)));
  if (level >= kEnvPeak) {
    b.setOut(kEnvAttackFlag, 0);
    return kEnvPeak;
  }
  return level;
}

template <class View>
int32_t EnvelopeDecay(View b, int32_t level) {
  const bool aboveBreakPoint = fx::Shl(b.in(kBreakPoint), 9) < level;
  const int32_t rate = Curve(aboveBreakPoint ? b.in(kDecay1Rate) : b.in(kDecay2Rate));
  level = fx::Sub(level, rate);
  return level < 0 ? 0 : level;
}

constexpr int32_t kSampleHoldLatch = 1;  // out(1)
constexpr int32_t kGlideAccumulator = 0;  // state(0): the output with 16 fraction bits

template <class View>
void RenderENV(View b) {
  int32_t latch = b.out(kEnvLatch);
  const bool triggered = GateRises(b.in(kGate), latch);
  b.setOut(kEnvLatch, latch);
  if (triggered) {
    b.setOut(kEnvAttackFlag, kGateOn);
    b.setOut(kEnvLevel, 0);
  }
  int32_t level = b.out(kEnvLevel);
  level = b.out(kEnvAttackFlag) != 0 ? EnvelopeAttack(b, level) : EnvelopeDecay(b, level);
  b.setOut(kEnvLevel, level);
  b.setOut(0, fx::Sar(fx::Mul(fx::Sar(level, 9), b.ctl(0)), 15));
}

template <class View>
void RenderSampleHold(View b) {
  int32_t latch = b.out(kSampleHoldLatch);
  const bool triggered = GateRises(b.in(4), latch);
  b.setOut(kSampleHoldLatch, latch);
  if (triggered) b.setOut(0, b.in(0));
}

// Moves toward the input by (difference x rate) / 2^22 per frame.
template <class View>
void RenderGLI(View b) {
  const int32_t rate = Curve(b.in(1));
  const int32_t step = fx::Sar(fx::Mul(fx::Sub(b.in(0), b.out(0)), rate), 6);
  const int32_t accumulator = fx::Add(b.state(kGlideAccumulator), step);
  b.setState(kGlideAccumulator, accumulator);
  b.setOut(0, fx::Sar(accumulator, 16));
}

template <class View>
void RenderSWI(View b) { b.setOut(0, b.in(2) > 0 ? b.in(1) : b.in(0)); }

}  // namespace control_steps

using control_steps::RenderENV;
using control_steps::RenderSampleHold;
using control_steps::RenderGLI;
using control_steps::RenderSWI;
