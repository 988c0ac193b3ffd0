#include "app/MainWindow.h"

#include "app/Dispatch.h"
#include "app/Geometry.h"
#include "app/PatchAreaView.h"
#include "audio/AudioOutput.h"

MainWindow::MainWindow() {
  area = new PatchArea();
  window = CreateTopLevelWindow(kTitlePrefix, area->title, kClientWidth, kClientHeight);
  SetWindowObject(window, this);
  SendWindowMessage(window, kUmCreateControls, 0, 0);
  ShowTopLevelWindow(window);
}

int32_t MainWindow::WindowProc(WindowHandle target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kWmDestroy:
      QuitMessageLoop(0);
      return 0;
    case kWmPaint:
      Paint();
      return 0;
    case kWmKeyDown:
      DispatchKey(*this, static_cast<uint32_t>(wParam));
      return 0;
    case kWmChar:
      DispatchCharacter(*this, static_cast<uint32_t>(wParam));
      return 0;
    case kWmCommand:
      DispatchCommand(*this, LowWord(wParam));
      return 0;
    case kWmHScroll:
      ControllerScroll(reinterpret_cast<WindowHandle>(lParam), LowWord(wParam),
                       static_cast<int16_t>(HighWord(wParam)));
      return 0;
    case kWmLButtonDown: {
      const int32_t x = static_cast<int32_t>(LowWord(lParam));
      const int32_t y = static_cast<int32_t>(HighWord(lParam));
      if (area->Select(ClickedColumn(x), ClickedRow(y)) == 1) {
        Invalidate(false);
        RefreshControlPanel();
      }
      ModeSelectorClick(x, y);
      return 0;
    }
    case kWmRButtonUp:
      if (area->MoveSelected(ClickedColumn(LowWord(lParam)), ClickedRow(HighWord(lParam))) == 1) Invalidate(true);
      return 0;
    case kUmCreateControls:
      CreateControlPanel();
      Invalidate(false);
      RefreshControlPanel();
      StartAudio(window);
      return 0;
    default:
      return DefaultWindowProc(target, message, wParam, lParam);
  }
}

void MainWindow::Paint() {
  DeviceContext* context = BeginWindowPaint(window);
  if (context == nullptr) return;
  context->SelectFixedFont();
  PaintPatchArea(*context, *area);
  PaintModeSelector(*context);
  EndWindowPaint(window, context);
}
