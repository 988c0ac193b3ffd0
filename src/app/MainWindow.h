// MainWindow: the program's one main window. It owns the patch area and the
// control panel's controls and turns every input that reaches the window
// into one operation of the patch area, followed by the repaint and panel
// refresh that the operation calls for.
#pragma once

#include <cstdint>

#include "app/ValueLabel.h"
#include "patch/ModuleCatalogue.h"
#include "patch/PatchArea.h"
#include "platform/Window.h"

inline constexpr int32_t kPanelRows = 6;    // controller rows
inline constexpr int32_t kPanelInputs = 5;  // input rows and Output buttons

class MainWindow final : public WindowObject {
 public:
  WindowHandle window = nullptr;
  PatchArea* area = nullptr;  // owned, never released: it lives as long as the process
  WindowHandle editShowButton = nullptr;
  WindowHandle valueLabels[kPanelRows] = {};
  WindowHandle moduleButtons[kModuleTypeCount] = {};
  WindowHandle controllerBars[kPanelRows] = {};
  WindowHandle captions[kPanelRows] = {};
  WindowHandle inputButtons[kPanelInputs] = {};
  WindowHandle disconnectButtons[kPanelInputs] = {};
  WindowHandle outputButtons[kPanelInputs] = {};

  // Creates the patch area and the window, builds the panel and starts audio
  // (through UM_CREATE_CONTROLS), then shows the window.
  MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() = default;

  int32_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // The control panel.
  void CreateControlPanel();
  void RefreshControlPanel();
  void ControllerScroll(WindowHandle bar, uint32_t request, int32_t thumb);
  void PaintModeSelector(DeviceContext& context);
  void ModeSelectorClick(int32_t x, int32_t y);

  // The shell's repaint and focus steps.
  void Invalidate(bool erase) { InvalidateWindow(window, erase); }
  void FocusBack() { FocusWindow(window); }

 private:
  void Paint();
};

