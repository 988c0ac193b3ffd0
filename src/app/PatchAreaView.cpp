#include "app/PatchAreaView.h"

#include <cstring>

#include "app/Geometry.h"

// clang-format off
const int32_t ModuleIcon[kModuleTypeCount] = {
    0, 110, 114, 114, 123, 120, 121, 0, 0, 0, 0, 0,  // xxx OSC VCF FLT VCA ADD MUL
    115, 124, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // ENV S/H
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 125, 119,          // MIX OUT
};
// clang-format on

namespace {

Rect CellSquare(int32_t column, int32_t row) {
  return {CellLeft(column), CellTop(row), CellLeft(column) + kModulePixels, CellTop(row) + kModulePixels};
}
Rect InputBox(int32_t column, int32_t row, int32_t k) {
  return {CellLeft(column), ConnectionTop(row, k), CellLeft(column) + 8, ConnectionTop(row, k) + 6};
}
Rect OutputBox(int32_t column, int32_t row, int32_t k) {
  return {CellLeft(column) + 40, ConnectionTop(row, k), CellLeft(column) + 48, ConnectionTop(row, k) + 6};
}

bool HasLabel(ModuleType type, int32_t entry) { return ModuleLabel(type, entry) != nullptr; }

// Passes that visit cells go column by column, and row by row within a column.
template <typename Visit>
void ForEachAnchor(const PatchArea& area, Visit visit) {
  for (int32_t column = 0; column < kGridColumns; ++column) {
    for (int32_t row = 0; row < kGridRows; ++row) {
      const BlockModule* module = area.ModuleAt(column, row);
      if (module != nullptr && module->type != ModuleTypeId::kNoModule) visit(*module, column, row);
    }
  }
}

void PaintGrid(DeviceContext& context) {
  context.FillRect({kGridLeft, kGridTop, CellLeft(kGridColumns), CellTop(kGridRows)}, kLightGreyBrush);
  for (int32_t column = 0; column < kGridColumns; ++column) {
    for (int32_t row = 0; row < kGridRows; ++row) {
      context.FillRect({CellLeft(column), CellTop(row), CellLeft(column) + 2, CellTop(row) + 2}, kDarkGreyBrush);
    }
  }
}

void PaintWires(DeviceContext& context, const PatchArea& area, const BlockModule* selected) {
  ForEachAnchor(area, [&](const BlockModule& module, int32_t column, int32_t row) {
    for (int32_t k = 0; k < kModuleInputCount; ++k) {
      const int32_t output = module.inputSourceOutput[k];
      const BlockModule* source = module.inputSource[k];
      if (output == -1 || source == nullptr) continue;
      const Pen pen = &module == selected ? kGreenPen : source == selected ? kRedPen : kBlackPen;
      const Pen previous = context.SelectPen(pen);
      context.MoveTo(CellLeft(column) - 2, ConnectionMiddle(row, k));
      context.LineTo(CellLeft(source->posX) + kModulePixels, ConnectionMiddle(source->posY, output));
      context.SelectPen(previous);
    }
  });
}

// Whether output k of `module` feeds some input of the selected module.
bool FeedsSelected(const BlockModule& module, int32_t k, const BlockModule* selected) {
  if (selected == nullptr) return false;
  for (int32_t input = 0; input < kModuleInputCount; ++input) {
    if (selected->inputSource[input] == &module && selected->inputSourceOutput[input] == k) return true;
  }
  return false;
}

void PaintModule(DeviceContext& context, const PatchArea& area, const BlockModule& module, int32_t column,
                 int32_t row) {
  const ModuleType type = module.type;
  const bool isSelected = &module == area.SelectedModule();
  const Rect body = CellSquare(column, row);
  context.FillRect(body, isSelected ? kWhiteBrush : kLightGreyBrush);
  context.FrameRect(body, kBlackBrush);
  const bool isWireSource = column == area.ConnectSourceX() && row == area.ConnectSourceY();
  for (int32_t k = 0; k < kModuleInputCount; ++k) {
    if (HasLabel(type, kLabelController + k + 1) || HasLabel(type, kLabelInput + k)) {
      context.FrameRect(InputBox(column, row, k), kBlackBrush);
    }
    if (!HasLabel(type, kLabelOutput + k)) continue;
    const Rect box = OutputBox(column, row, k);
    if (isWireSource && area.ConnectSourceOutput() == k) {
      context.FillRect(box, kBlackBrush);
    } else if (FeedsSelected(module, k, area.SelectedModule())) {
      context.FillRect(box, kGreenBrush);
    } else {
      context.FrameRect(box, kBlackBrush);
    }
  }
  if (ModuleIcon[type] != 0) context.DrawIconResource(CellLeft(column) + 8, CellTop(row) + 16, ModuleIcon[type]);
  context.SetTextAlignment(kTaCenter | kTaTop);
  const char* name = TypeName(type);
  context.WriteText(CellLeft(column) + 24, CellTop(row) + 4, name, static_cast<int32_t>(strnlen(name, 3)));
}

}  // namespace

void PaintPatchArea(DeviceContext& context, const PatchArea& area) {
  PaintGrid(context);
  const BlockModule* selected = area.SelectedModule();
  const bool cursorOnModule = selected != nullptr && selected->type != ModuleTypeId::kNoModule;
  if (!cursorOnModule) context.FillRect(CellSquare(area.CursorX(), area.CursorY()), kWhiteBrush);
  // A module of type 0 (its type failed to take) is no selection for the highlights.
  PaintWires(context, area, cursorOnModule ? selected : nullptr);
  ForEachAnchor(area, [&](const BlockModule& module, int32_t column, int32_t row) {
    PaintModule(context, area, module, column, row);
  });
}
