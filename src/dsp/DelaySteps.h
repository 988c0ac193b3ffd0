// DLY, a recirculating echo of up to 32768 samples, and FLA, a modulated
// delay of 1..4096 samples read with 1/16-sample interpolation. Each owns one
// delay buffer, named by the block's bufferNumber word.
#pragma once

#include "dsp/FixedPoint.h"
#include "dsp/Pools.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"
#include "dsp/Tables.h"

namespace delay_steps {

constexpr int32_t kAudio = 0, kFeedbackOrModulation = 1, kDirectLevel = 2;
constexpr int32_t kPosition = 0;  // state(0): DLY position, FLA write counter
constexpr int32_t kDelayLastIndex = kDelayBufferSamples - 1;
constexpr uint32_t kFlangerWindowMask = 4095;

template <class View>
int16_t* BufferOf(View b) {
  // bufferNumber is always 0..3 for a DLY or FLA; the mask keeps any other
  // value inside the pool.
  return DelayBuffer[b.word(BlockWord::kBufferNumber) & (kDelayBufferCount - 1)];
}

// A position outside the buffer (left by a block's former type) restarts at
// 0, as a line shortened below its position does; a "Line Length" above the
// buffer acts as the whole buffer.
template <class View>
int32_t DelayPosition(View b) {
  const int32_t position = b.state(kPosition);
  return (position < 0 || position > kDelayLastIndex) ? 0 : position;
}

template <class View>
int32_t LineLength(View b) {
  const int32_t length = b.ctl(0);
  return length > kDelayLastIndex ? kDelayLastIndex : length;
}

template <class View>
void RenderDLY(View b) {
  int16_t* buffer = BufferOf(b);
  const int32_t position = DelayPosition(b);
  const int32_t stored = buffer[position];

  const int32_t direct = fx::Sar(fx::Mul(b.in(kAudio), Curve(b.in(kDirectLevel))), 15);
  b.setOut(0, fx::Int16(fx::Add(direct, stored)));

  const int32_t feedback = b.in(kFeedbackOrModulation);
  const int32_t inputWeight = 32767 - Curve(feedback);
  buffer[position] = fx::Int16(fx::Sar(fx::Add(fx::Mul(stored, feedback), fx::Mul(b.in(kAudio), inputWeight)), 15));

  const int32_t length = LineLength(b);
  b.setState(kPosition, (position < length && length > 0) ? position + 1 : 0);
}

template <class View>
void RenderFLA(View b) {
  int16_t* window = BufferOf(b);
  const uint32_t counter = static_cast<uint32_t>(b.state(kPosition));

  const int32_t modulation = b.in(kFeedbackOrModulation);
  const int32_t whole = modulation >> 4;     // floor(m / 16)
  const int32_t fraction = modulation & 15;  // sixteenths
  const uint32_t tapA = (counter + 2048 + static_cast<uint32_t>(whole)) & kFlangerWindowMask;
  const uint32_t tapB = (tapA + 1) & kFlangerWindowMask;
  const uint32_t tapC = (counter + 2048) & kFlangerWindowMask;

  const int32_t modulated = (window[tapA] * (16 - fraction) + window[tapB] * fraction) >> 4;
  const int32_t directTap = fx::Sar(fx::Mul(window[tapC], b.in(kDirectLevel)), 15);
  b.setOut(0, fx::Add(modulated, directTap));

  window[counter & kFlangerWindowMask] = fx::Int16(b.in(kAudio));
  b.setState(kPosition, static_cast<int32_t>(counter + 1));
}

}  // namespace delay_steps

using delay_steps::RenderDLY;
using delay_steps::RenderFLA;
