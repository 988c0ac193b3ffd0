// OSC: a 32-bit phase accumulator with exponential frequency control, two FM
// inputs, hard sync in and out, six waveforms and a range switch (a shift of
// the accumulator by 8 bits) that turns it into an LFO.
#pragma once

#include "dsp/FixedPoint.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"
#include "dsp/Tables.h"

namespace oscillator_step {

// Block words of the oscillator.
constexpr int32_t kPhase = 0;          // state 0: the accumulator, wraps at 2^32
constexpr int32_t kLastPhaseWord = 1;  // state 1: the previous frame's 16-bit phase word
constexpr int32_t kOutput = 0;
constexpr int32_t kSyncOut = 4;
constexpr int32_t kFm1 = 0, kFm2 = 1, kDepth = 2, kPulseWidth = 3, kSyncIn = 4;

inline int32_t Triangle(int32_t p) {
  // Falls from 32767 at p = -32768 to -32767 at p = -1, rises from -32768 at 0 to 32766.
  return p < 0 ? -2 * p - 32769 : 2 * p - 32768;
}

inline int32_t RampThenFlat(int32_t p) { return (p > -16384 && p < 16384) ? p : 0; }

template <class View>
int32_t WaveformOutput(View b, Waveform waveform, int32_t p, int32_t noiseValue) {
  const int32_t d = b.in(kDepth);
  switch (waveform) {
    case Waveform::Sine: return fx::Sar(fx::Mul(d, SineTable(p)), 15);
    case Waveform::Triangle: return fx::Sar(fx::Mul(Triangle(p), d), 15);
    case Waveform::Sawtooth: return fx::Sar(fx::Mul(p, d), 15);
    case Waveform::Ramp: return fx::Sar(fx::Mul(RampThenFlat(p), d), 14);
    case Waveform::Square: return b.in(kPulseWidth) > p ? d : fx::Neg(d);
    case Waveform::Noise:
      // A new level once per cycle, when the phase word wrapped in this frame.
      return b.out(kSyncOut) != 0 ? fx::Sar(fx::Mul(noiseValue, d), 15) : b.out(kOutput);
  }
  return b.out(kOutput);
}

template <class View>
void RenderOscillator(View b, Waveform waveform, int32_t noiseValue) {
  int32_t phase;
  if (b.in(kSyncIn) > 0) {
    phase = 0;
  } else {
    const int32_t pitch = fx::Add(fx::Add(b.ctl(0), b.in(kFm1)), b.in(kFm2));
    phase = fx::Add(b.state(kPhase), Curve(pitch));
  }
  b.setState(kPhase, phase);

  const int32_t p = fx::Int16(fx::Sar(phase, b.word(BlockWord::kRangeShift) & 31));

  b.setOut(kSyncOut, b.state(kLastPhaseWord) > p ? kGateOn : 0);
  b.setState(kLastPhaseWord, p);

  b.setOut(kOutput, WaveformOutput(b, waveform, p, noiseValue));
}

}  // namespace oscillator_step

using oscillator_step::RenderOscillator;
