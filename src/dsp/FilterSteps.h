// VCF, a resonant two-stage filter with low-, high- and band-pass outputs, and
// FLT, a one-output filter with three modes and a feedback "colour". Both take
// their coefficient k linearly from the cutoff and weight by k / 65536.
#pragma once

#include "dsp/FixedPoint.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"

namespace filter_steps {

constexpr int32_t kAudio = 0, kCutoffMod1 = 1, kCutoffMod2 = 2, kFeedback = 3;
constexpr int32_t kLowPass = 0, kHighPass = 1, kBandPass = 2;
constexpr int32_t kFirstStage = 0;  // FLT band-pass: state 0

template <class View>
int32_t Coefficient(View b) {
  int32_t k = fx::Add(fx::Add(b.ctl(0), b.in(kCutoffMod1)), b.in(kCutoffMod2));
  if (k < 0) k = 0;
  if (k > 32767) k = 32767;
  return k;
}

// (y (65536 - k) + x k) >> 16: a one-pole step from y toward x.
inline int32_t Smooth(int32_t y, int32_t x, int32_t k) {
  return fx::Sar(fx::Add(fx::Mul(y, 65536 - k), fx::Mul(x, k)), 16);
}

// (x (65536 - k) - y k) >> 16: a one-pole high-pass step.
inline int32_t HighPassStep(int32_t y, int32_t x, int32_t k) {
  return fx::Sar(fx::Sub(fx::Mul(x, 65536 - k), fx::Mul(y, k)), 16);
}

inline int32_t Feedback(int32_t c, int32_t y, int32_t shift) { return fx::Sar(fx::Mul(c, y), shift); }

template <class View>
void RenderVCF(View b) {
  const int32_t k = Coefficient(b);
  const int32_t highPass = fx::Sub(fx::Add(Feedback(b.in(kFeedback), b.out(kBandPass), 14), fx::Sar(b.in(kAudio), 2)),
                                   fx::Mul(b.out(kLowPass), 8));
  b.setOut(kHighPass, highPass);
  const int32_t bandPass = Smooth(b.out(kBandPass), highPass, k);
  b.setOut(kBandPass, bandPass);
  b.setOut(kLowPass, Smooth(b.out(kLowPass), bandPass, k));
}

template <class View>
void RenderFLT(View b, FilterMode mode) {
  const int32_t k = Coefficient(b);
  const int32_t c = b.in(kFeedback);
  const int32_t y = b.out(0);
  switch (mode) {
    case FilterMode::LowPass:
      b.setOut(0, Smooth(y, fx::Sar(fx::Add(b.in(kAudio), Feedback(c, y, 14)), 2), k));
      break;
    case FilterMode::HighPass:
      b.setOut(0, HighPassStep(y, fx::Sar(fx::Sub(b.in(kAudio), Feedback(c, y, 14)), 2), k));
      break;
    case FilterMode::BandPass: {
      const int32_t s = b.state(kFirstStage);
      const int32_t firstStage = Smooth(s, fx::Sar(fx::Add(b.in(kAudio), Feedback(c, s, 14)), 2), k);
      b.setState(kFirstStage, firstStage);
      b.setOut(0, HighPassStep(y, fx::Sub(firstStage, Feedback(c, y, 15)), k));
      break;
    }
  }
}

}  // namespace filter_steps

using filter_steps::RenderVCF;
using filter_steps::RenderFLT;
