// A value label's text, in the format "  %+ld": the control panel's
// controller values and the sequencer window's steps.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/Window.h"

inline void SetValueLabel(WindowHandle control, int32_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "  %+ld", static_cast<long>(value));
  SetControlText(control, text);
}
