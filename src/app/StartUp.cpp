#include "app/StartUp.h"

#include "app/MainMenu.h"
#include "app/MessageBoxes.h"
#include "dsp/DspMemory.h"

namespace {

// The playback notices travel on a thread message queue here, so nothing is
// ever sent to this class; it is registered as on every platform.
int32_t PlaybackWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return DefaultWindowProc(window, message, wParam, lParam);
}

constexpr int32_t kObjectPointerBytes = 4;

const WindowClass kWindowClasses[] = {
    {kEditWindowClass, ObjectWindowProc, kObjectPointerBytes, nullptr, kProgramIconLarge, kProgramIconSmall},
    {kTitlePrefix, ObjectWindowProc, kObjectPointerBytes, &kMainMenu, kProgramIconLarge, kProgramIconSmall},
    {kPlayBackWindowClass, PlaybackWindowProc, 0, nullptr, kProgramIconLarge, kProgramIconSmall},
};

}  // namespace

int32_t ObjectWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowObject* object = GetWindowObject(window);
  if (object == nullptr) return DefaultWindowProc(window, message, wParam, lParam);
  return object->WindowProc(window, message, wParam, lParam);
}

MainWindow* StartEditor() {
  for (const WindowClass& windowClass : kWindowClasses) RegisterWindowClass(windowClass);
  InitDspMemory();
  InstallPatternEditors();
  ShowMessagesInBoxes();
  return new MainWindow();
}
