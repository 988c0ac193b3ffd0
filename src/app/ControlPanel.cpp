// The control panel: the module buttons right of the grid and, below it, the
// controller rows, the input rows, the Output buttons and "Edit / Show". It
// always shows the module anchored at the cursor.

#include "app/MainWindow.h"
#include "dsp/Pools.h"

namespace {

// One group of controls: `count` of one kind, laid out in columns of
// `perColumn`, control i at (x + dx (i div perColumn), y + dy (i mod perColumn)).
struct ControlGroup {
  WindowHandle* (*handles)(MainWindow& main);
  ControlKind kind;
  int32_t count;
  int32_t perColumn;
  int32_t x, y, dx, dy, width, height;
  int32_t firstId;  // -1: a label, which sends nothing
  const char* text; // nullptr: the module type's short name
};

constexpr int32_t kNoId = -1;

// Creation order: module buttons, controller rows, "Edit / Show", input rows, Output buttons.
const ControlGroup kControlGroups[] = {
    {[](MainWindow& m) { return m.moduleButtons; }, ControlKind::PushButton, kModuleTypeCount, 12, 656, 8, 40, 32,
     40, 32, kModuleCommandBase, nullptr},
    {[](MainWindow& m) { return m.controllerBars; }, ControlKind::HorizontalScrollBar, kPanelRows, kPanelRows, 224,
     416, 0, 20, 320, 20, 256, ""},
    {[](MainWindow& m) { return m.captions; }, ControlKind::StaticLabel, kPanelRows, kPanelRows, 112, 416, 0, 20,
     112, 20, kNoId, ""},
    {[](MainWindow& m) { return m.valueLabels; }, ControlKind::StaticLabel, kPanelRows, kPanelRows, 544, 416, 0, 20,
     72, 20, kNoId, ""},
    {[](MainWindow& m) { return &m.editShowButton; }, ControlKind::PushButton, 1, 1, 16, 404, 0, 0, 80, 32, 511,
     "Edit / Show"},
    {[](MainWindow& m) { return m.inputButtons; }, ControlKind::PushButton, kPanelInputs, kPanelInputs, 16, 436, 0,
     20, 64, 20, 800, "Input"},
    {[](MainWindow& m) { return m.disconnectButtons; }, ControlKind::PushButton, kPanelInputs, kPanelInputs, 80,
     436, 0, 20, 16, 20, 816, "X"},
    {[](MainWindow& m) { return m.outputButtons; }, ControlKind::PushButton, kPanelInputs, kPanelInputs, 680, 416,
     0, 24, 96, 24, 832, ""},
};

// When a module button and its menu item are offered.
enum class Offer : uint8_t { OnFreeCell, Never, OnFreeCellWithDelayBuffer, OnFreeCellWithDrumBuffer };

constexpr Offer F = Offer::OnFreeCell;
constexpr Offer N = Offer::Never;
constexpr Offer D = Offer::OnFreeCellWithDelayBuffer;
constexpr Offer P = Offer::OnFreeCellWithDrumBuffer;

// Types 7..11 are never offered; the other "---" types are, and do nothing.
constexpr Offer kModuleOffer[kModuleTypeCount] = {
    F, F, F, F, F, F, F, N, N, N, N, N,  //  0..11
    F, F, F, F, F, P, F, F, F, F, F, F,  // 12..23
    F, F, F, F, F, F, F, F, D, D, F, F,  // 24..35
};

bool Offered(ModuleType type, bool cursorOnFreeCell) {
  switch (kModuleOffer[type]) {
    case Offer::Never: return false;
    case Offer::OnFreeCellWithDelayBuffer: return cursorOnFreeCell && DelayBufAvailable() != 0;
    case Offer::OnFreeCellWithDrumBuffer: return cursorOnFreeCell && DRMBufferAvailable() != 0;
    case Offer::OnFreeCell: break;
  }
  return cursorOnFreeCell;
}

// A SEQ's controllers hold step-sized values: the label shows them in -16..15.
int32_t ShownValue(ModuleType type, int32_t value) { return type == ModuleTypeId::kSEQ ? value >> 11 : value; }

}  // namespace

void MainWindow::CreateControlPanel() {
  for (const ControlGroup& group : kControlGroups) {
    WindowHandle* handles = group.handles(*this);
    for (int32_t i = 0; i < group.count; ++i) {
      const int32_t x = group.x + group.dx * (i / group.perColumn);
      const int32_t y = group.y + group.dy * (i % group.perColumn);
      const char* text = group.text != nullptr ? group.text : ModuleTypeName[i];
      const int32_t id = group.firstId == kNoId ? kNoId : group.firstId + i;
      handles[i] = CreateChildControl(window, group.kind, x, y, group.width, group.height, text, id);
    }
  }
  for (WindowHandle bar : controllerBars) SetScrollBarRange(bar, -32768, 32767);
}

void MainWindow::RefreshControlPanel() {
  const ModuleType type = area->GetSelectedType();
  for (ModuleType i = 1; i < kModuleTypeCount; ++i) {
    const bool offered = Offered(i, type == ModuleTypeId::kNoModule);
    EnableControl(moduleButtons[i], offered);
    EnableMenuCommand(window, kModuleCommandBase + i, offered);
  }
  for (int32_t r = 0; r < kPanelRows; ++r) {
    const char* caption = ModuleLabel(type, kLabelController + r);
    if (caption == nullptr && r >= 1) caption = ModuleLabel(type, kLabelInput + r - 1);
    SetControlText(captions[r], caption != nullptr ? caption : "");
    const int32_t value = area->GetSelectedController(r);
    SetScrollPosition(controllerBars[r], value);
    const bool pairedInputWired = r >= 1 && area->IsSelectedInputConnected(r - 1) == 1;
    EnableControl(controllerBars[r], ControllerOffered(type, r, pairedInputWired));
    SetValueLabel(valueLabels[r], ShownValue(type, value));
  }
  for (int32_t i = 0; i < kPanelInputs; ++i) {
    const char* label = ModuleLabel(type, kLabelOutput + i);
    SetControlText(outputButtons[i], label != nullptr ? label : "");
    EnableControl(outputButtons[i], label != nullptr);
    EnableControl(inputButtons[i], InputOffered(type, i));
    EnableControl(disconnectButtons[i], area->IsSelectedInputConnected(i) == 1);
  }
  EnableControl(editShowButton, HasPatternEditWindow(type));
}

void MainWindow::ControllerScroll(WindowHandle bar, uint32_t request, int32_t thumb) {
  int32_t r = 0;
  while (r < kPanelRows && controllerBars[r] != bar) ++r;
  if (r == kPanelRows) return;
  int32_t value = area->GetSelectedController(r);
  switch (request) {
    case kSbLineUp: value = value - 1 < -32768 ? -32768 : value - 1; break;
    case kSbLineDown: value = value + 1 > 32767 ? 32767 : value + 1; break;
    case kSbPageUp: value = value - 32 < -32768 ? -32768 : value - 32; break;
    case kSbPageDown: value = value + 32 > 32767 ? 32767 : value + 32; break;
    case kSbThumbPosition:
    case kSbThumbTrack: value = thumb; break;
    default: break;
  }
  SetScrollPosition(bar, value);
  SetValueLabel(valueLabels[r], ShownValue(area->GetSelectedType(), value));
  area->SetSelectedController(r, value);
}
