#include "editors/PatternEditors.h"

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

// Defined beside their windows.
int32_t ScrollSequencerStep(BlockModule& module, uintptr_t wParam, intptr_t lParam);
void StoreDrumStep(BlockModule& module, intptr_t lParam);

namespace {

// A module without a block, or a DRM whose buffer number is not one, has
// nothing to edit, so no window opens for it.
bool HasStorage(const BlockModule& module) {
  if (module.dspBlock < 0) return false;
  if (module.type != ModuleTypeId::kDRM) return true;
  const int32_t buffer = DspMemory.Load(module.dspBlock + BlockWord::kBufferNumber);
  return buffer >= 0 && buffer < kDrumBufferCount;
}

void OpenPatternWindow(BlockModule& module, WindowHandle parent) {
  if (module.editWindow != nullptr || !HasStorage(module)) return;
  if (module.type == ModuleTypeId::kSEQ) module.OpenSequencerWindow(parent);
  if (module.type == ModuleTypeId::kDRM) module.OpenDrumWindow(parent);
}

int32_t HandlePatternWindow(BlockModule& module, WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam) {
  switch (message) {
    case kWmDestroy:
      module.editWindow = nullptr;
      break;
    case kWmCommand:
      if (module.type == ModuleTypeId::kDRM && lParam != 0) StoreDrumStep(module, lParam);
      break;
    case kWmHScroll:
      if (module.type == ModuleTypeId::kSEQ && lParam != 0) return ScrollSequencerStep(module, wParam, lParam);
      break;
    default:
      break;
  }
  return DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace

void InstallPatternEditors() {
  openPatternEditWindow = OpenPatternWindow;
  patternEditWindowProc = HandlePatternWindow;
}
