// The pattern edit windows of SEQ and DRM modules: the sequencer's 16 steps
// as scroll bars, the drum pattern's 4 x 64 steps as check boxes. Each is an
// owned window of the main window whose messages the module handles; every
// change is stored where the render loop reads it, so it is heard at once.
#pragma once

#include <cstdint>

#include "patch/BlockModule.h"

// The window class of both edit windows; its title too.
inline constexpr char kEditWindowClass[] = "Varnotek 1.01 - EditWindow";

// Makes "Edit / Show" open the windows. Once, before any module exists.
void InstallPatternEditors();

// Where the check box of a drum step sits in the drum window's client area.
struct DrumBoxPosition {
  int32_t x, y;
};
DrumBoxPosition DrumBoxAt(int32_t track, int32_t step);
