// Stateless level steps: the amplifier VCA, the adder ADD, the ring modulator
// MUL, the clipper CLP and the four-channel mixer MIX.
#pragma once

#include <cstdint>

#include "dsp/FixedPoint.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"
#include "dsp/Tables.h"

// Gain in units of 1/4096: 4096 passes the audio unchanged.
template <class View>
void RenderVCA(View b) {
  const int32_t gain = fx::Add(fx::Add(b.ctl(0), b.in(1)), b.in(2));
  b.setOut(0, fx::Sar(fx::Mul(gain, b.in(0)), 12));
}

template <class View>
void RenderADD(View b) {
  b.setOut(0, fx::Add(fx::Add(b.in(0), b.in(1)), fx::Add(b.in(2), b.in(3))));
}

template <class View>
void RenderMUL(View b) { b.setOut(0, fx::Sar(fx::Mul(b.in(0), b.in(1)), 15)); }

// v = in(0) x in(1) x 16 clamped to +-178956970, out = v >> 14: a gain of
// in(1) / 1024 limited to about a third of full scale. The 32-bit inputs can
// make v need more than 64 bits, so the clamp is decided on in(0) x in(1)
// (exact in 64 bits) against the limit / 16.
template <class View>
void RenderCLP(View b) {
  constexpr int32_t kLimit = 178956970;
  constexpr int64_t kProductLimit = kLimit / 16;  // 11184810; 16 x 11184811 exceeds the limit
  const int64_t product = static_cast<int64_t>(b.in(0)) * b.in(1);
  int32_t v;
  if (product > kProductLimit) {
    v = kLimit;
  } else if (product < -kProductLimit) {
    v = -kLimit;
  } else {
    v = static_cast<int32_t>(product * 16);
  }
  b.setOut(0, fx::Sar(v, 14));
}

// Each channel gain and the master gain are at most 32767 / 65536.
template <class View>
void RenderMIX(View b) {
  int32_t sum = 0;
  for (int32_t channel = 0; channel < 4; ++channel)
    sum = fx::Add(sum, fx::Mul(b.in(channel), Curve(b.ctl(channel + 1))));
  b.setOut(0, fx::Sar(fx::Mul(fx::Sar(sum, 16), Curve(b.ctl(0))), 16));
}
