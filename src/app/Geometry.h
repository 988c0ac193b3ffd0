// The fixed pixel layout of the main window's client area. Nothing is laid
// out again when the window changes size.
#pragma once

#include <cstdint>

// What an 800 x 600 window with a menu bar leaves inside its frame with the
// classic Windows metrics; the Output buttons (x 680..776) and the last
// controller row (y 516..536) fit with a margin.
inline constexpr int32_t kClientWidth = 792;
inline constexpr int32_t kClientHeight = 554;

// The patch grid: origin (16, 16), cells of 16 x 16 pixels.
inline constexpr int32_t kGridLeft = 16;
inline constexpr int32_t kGridTop = 16;
inline constexpr int32_t kCellSize = 16;
inline constexpr int32_t kModulePixels = 48;  // a module's body: 3 x 3 cells

inline constexpr int32_t CellLeft(int32_t column) { return kGridLeft + kCellSize * column; }
inline constexpr int32_t CellTop(int32_t row) { return kGridTop + kCellSize * row; }
// A body's five connection rows: boxes 6 pixels high, 9 apart, from 4 below its top.
inline constexpr int32_t ConnectionTop(int32_t row, int32_t k) { return CellTop(row) + 4 + 9 * k; }
inline constexpr int32_t ConnectionMiddle(int32_t row, int32_t k) { return ConnectionTop(row, k) + 3; }

// The mode selector, painted and hit-tested by the main window itself.
inline constexpr int32_t kModeSelectorLeft = 616;
inline constexpr int32_t kModeSelectorTop = 416;
inline constexpr int32_t kModeSelectorRight = 680;
inline constexpr int32_t kModeSelectorBottom = 536;
inline constexpr int32_t kModeColumnLeft = 648;  // waveform or filter mode, six rows
inline constexpr int32_t kRangeColumnLeft = 616; // OSC range, two rows
inline constexpr int32_t kModeRowHeight = 20;
