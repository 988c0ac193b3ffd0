// The patch area view: draws the grid, the cursor, the wires and the modules
// of the patch area, and turns click positions into grid cells.
#pragma once

#include <cstdint>

#include "patch/ModuleCatalogue.h"
#include "patch/PatchArea.h"
#include "platform/Window.h"

inline constexpr Pen kGreenPen{Rgb(128, 255, 64)};
inline constexpr Brush kGreenBrush{Rgb(128, 255, 64)};
inline constexpr Pen kRedPen{Rgb(255, 64, 64)};

// The icon resource drawn in a module's body; 0 = none.
extern const int32_t ModuleIcon[kModuleTypeCount];

void PaintPatchArea(DeviceContext& context, const PatchArea& area);

// x and y are client coordinates read as unsigned 16-bit numbers; division
// truncates toward zero, so x = 1..31 is column 0 and x = 0 is column -1.
inline int32_t ClickedColumn(int32_t x) { return (x - 16) / 16; }
inline int32_t ClickedRow(int32_t y) { return (y - 16) / 16; }
