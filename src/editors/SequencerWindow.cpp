// The sequencer window: one scroll bar and one value label per step.
#include "app/ValueLabel.h"
#include "dsp/DspMemory.h"
#include "editors/PatternEditors.h"

namespace {

constexpr int32_t kStepCount = 16;
constexpr int32_t kFirstBarId = 1024;
constexpr int32_t kLineSpacing = 20;

int32_t StepWord(const BlockModule& module, int32_t step) { return module.dspBlock + BlockWord::kStep + step; }

}  // namespace

void BlockModule::OpenSequencerWindow(WindowHandle parent) {
  editWindow = CreateOwnedWindow(kEditWindowClass, kEditWindowClass, parent, 64, 64, 424, 400, true);
  if (editWindow == nullptr) return;
  SetWindowObject(editWindow, this);
  for (int32_t i = 0; i < kStepCount; ++i) {
    const int32_t y = 16 + kLineSpacing * i;
    const int32_t value = DspMemory.Load(StepWord(*this, i));
    WindowHandle bar =
        CreateChildControl(editWindow, ControlKind::HorizontalScrollBar, 16, y, 320, 20, "", kFirstBarId + i);
    SetScrollBarRange(bar, -32768, 32767);
    SetScrollPosition(bar, value);
    editControls[i] = CreateChildControl(editWindow, ControlKind::StaticLabel, 336, y, 72, 20, "", 0);
    SetValueLabel(editControls[i], value);
  }
}

// The step of the bar that scrolled, moved as the request says and clamped
// to the 16 bits a step holds; the thumb and the label follow.
int32_t ScrollSequencerStep(BlockModule& module, uintptr_t wParam, intptr_t lParam) {
  auto* bar = reinterpret_cast<WindowHandle>(lParam);
  const int32_t step = GetControlId(bar) - kFirstBarId;
  if (step < 0 || step >= kStepCount || module.dspBlock < 0) return 0;
  const int32_t value = DspMemory.Load(StepWord(module, step));
  int32_t moved = value;
  switch (LowWord(wParam)) {
    case kSbLineUp: moved = value - 1; break;
    case kSbLineDown: moved = value + 1; break;
    case kSbPageUp: moved = value - 32; break;
    case kSbPageDown: moved = value + 32; break;
    case kSbThumbPosition:
    case kSbThumbTrack: moved = static_cast<int16_t>(HighWord(wParam)); break;
    default: break;
  }
  moved = moved < -32768 ? -32768 : moved > 32767 ? 32767 : moved;
  SetScrollPosition(bar, moved);
  DspMemory.Store(StepWord(module, step), moved);
  SetValueLabel(module.editControls[step], moved);
  return 0;
}
