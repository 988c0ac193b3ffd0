// The mode selector: the rectangle (616, 416)-(680, 536) that the main window
// paints and hit-tests itself. Its right column picks an OSC's waveform or a
// FLT's mode, its left column an OSC's range (L low, H high).
#include "app/Geometry.h"
#include "app/MainWindow.h"

namespace {

// Icon resources: each pair is (not chosen, chosen).
constexpr int32_t kWaveformIcons = 126;  // + 2k: sine, triangle, sawtooth, ramp, square, noise
constexpr int32_t kLowRangeChosen = 139;
constexpr int32_t kLowRangeNotChosen = 138;
constexpr int32_t kHighRangeChosen = 141;
constexpr int32_t kHighRangeNotChosen = 140;
constexpr int32_t kFilterIcons = 143;  // + 2k: LP, HP, BP

int32_t RowTop(int32_t row) { return kModeSelectorTop + kModeRowHeight * row; }

}  // namespace

void MainWindow::PaintModeSelector(DeviceContext& context) {
  const ModuleType type = area->GetSelectedType();
  const int32_t mode = area->GetSelectedMode();
  context.FillRect({kModeSelectorLeft, kModeSelectorTop, kModeSelectorRight, kModeSelectorBottom}, kLightGreyBrush);
  if (type == ModuleTypeId::kOSC) {
    for (int32_t k = 0; k < kOscWaveformCount; ++k) {
      const bool chosen = (mode & kOscWaveformMask) == k;
      context.DrawIconResource(kModeColumnLeft, RowTop(k), kWaveformIcons + 2 * k + (chosen ? 1 : 0));
    }
    const bool high = (mode & kOscHighRange) != 0;
    context.DrawIconResource(kRangeColumnLeft, RowTop(0), high ? kLowRangeNotChosen : kLowRangeChosen);
    context.DrawIconResource(kRangeColumnLeft, RowTop(1), high ? kHighRangeChosen : kHighRangeNotChosen);
  } else if (type == ModuleTypeId::kFLT) {
    for (int32_t k = 0; k < kFltModeCount; ++k) {
      context.DrawIconResource(kModeColumnLeft, RowTop(k), kFilterIcons + 2 * k + (mode == k ? 1 : 0));
    }
  }
}

void MainWindow::ModeSelectorClick(int32_t x, int32_t y) {
  const int32_t mode = area->GetSelectedMode();
  const int32_t row = (y - kModeSelectorTop) / kModeRowHeight;
  int32_t result = 0;
  if (x >= kModeColumnLeft && x < kModeSelectorRight && y >= kModeSelectorTop && y < kModeSelectorBottom) {
    result = area->SetSelectedMode(row | (mode & kOscHighRange));
  } else if (x >= kRangeColumnLeft && x < kModeColumnLeft && y >= kModeSelectorTop && y < RowTop(2)) {
    result = area->SetSelectedMode((mode & kOscWaveformMask) | (row << 8));
  }
  if (result == 1) Invalidate(false);
}
