// The drum window: a check box per step of bank 0 of the module's pattern.
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "editors/PatternEditors.h"

namespace {

constexpr int32_t kShownBank = 0;

int32_t PatternOffset(const BlockModule& module, int32_t track, int32_t step) {
  return DrumByteOffset(DspMemory.Load(module.dspBlock + BlockWord::kBufferNumber), kShownBank, track, step);
}

}  // namespace

// Even steps on an upper line, odd ones 16 pixels lower, 8 pixels a step;
// 4 more after every eighth step and another 4 between the halves.
DrumBoxPosition DrumBoxAt(int32_t track, int32_t step) {
  return {16 + 8 * step + 4 * (step / 8) + 4 * (step / 32), 32 + 64 * track + 16 * (step % 2)};
}

void BlockModule::OpenDrumWindow(WindowHandle parent) {
  editWindow = CreateOwnedWindow(kEditWindowClass, kEditWindowClass, parent, 64, 64, 640, 400, false);
  if (editWindow == nullptr) return;
  SetWindowObject(editWindow, this);
  for (int32_t track = 0; track < kDrumTracks; ++track) {
    for (int32_t step = 0; step < kDrumSteps; ++step) {
      const DrumBoxPosition at = DrumBoxAt(track, step);
      const int32_t id = track * kDrumSteps + step;
      editControls[id] = CreateChildControl(editWindow, ControlKind::CheckBox, at.x, at.y, 16, 16, "", id);
      // The player sounds every byte above 0, so every such byte shows as set.
      SetCheckState(editControls[id], GetDrumByte(PatternOffset(*this, track, step)) > 0);
    }
  }
  ShowTopLevelWindow(editWindow);
}

// An auto check box has toggled itself before it tells: store its new state.
void StoreDrumStep(BlockModule& module, intptr_t lParam) {
  auto* box = reinterpret_cast<WindowHandle>(lParam);
  const int32_t id = GetControlId(box);
  if (id < 0 || id >= kDrumTracks * kDrumSteps || module.dspBlock < 0) return;
  SetDrumByte(PatternOffset(module, id / kDrumSteps, id % kDrumSteps), GetCheckState(box) ? 1 : 0);
}
