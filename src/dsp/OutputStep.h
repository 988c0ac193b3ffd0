// OUT: adds its inputs, scaled by Curve of their volume controllers, into the
// frame's channel sums. A gain g scales a signal by g / 8192 on its way to the
// 16-bit sample.
#pragma once

#include "dsp/FixedPoint.h"
#include "dsp/BlockView.h"
#include "dsp/StepKinds.h"
#include "dsp/Tables.h"

namespace output_step {

constexpr int32_t kLeft = 0, kRight = 4;  // inputs; 1..3 are the centre inputs
constexpr int32_t kLeftVolume = 1, kRightVolume = 5;  // controllers; 2..4 are the centre volumes

template <class View>
int32_t Scaled(View b, int32_t input, int32_t volumeController) {
  return fx::Mul(b.in(input), Curve(b.ctl(volumeController)));
}

template <class View>
void RenderOUT(View b, int32_t& left, int32_t& right) {
  const int32_t center = fx::Add(fx::Add(Scaled(b, 1, 2), Scaled(b, 2, 3)), Scaled(b, 3, 4));
  left = fx::Add(left, fx::Add(Scaled(b, kLeft, kLeftVolume), center));
  right = fx::Add(right, fx::Add(Scaled(b, kRight, kRightVolume), center));
}

}  // namespace output_step

using output_step::RenderOUT;
