#include "patch/PatchArea.h"

#include <cstring>

namespace {

bool InsideGrid(int32_t column, int32_t row) {
  return column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows;
}

bool InsideAnchorRange(int32_t column, int32_t row) {
  return column >= 0 && column <= kLastAnchorColumn && row >= 0 && row <= kLastAnchorRow;
}

bool ValidInput(int32_t input) { return input >= 0 && input < kModuleInputCount; }

}  // namespace

PatchArea::PatchArea() : title{}, fileTitle{}, filePath{}, anchorGrid{}, occupancyGrid{} {
  Clear();
  SetTitle(kNewPatchName);
}

PatchArea::~PatchArea() { Clear(); }

void PatchArea::Clear() {
  for (int32_t row = 0; row < kGridRows; ++row) {
    for (int32_t column = 0; column < kGridColumns; ++column) {
      if (anchorGrid[row][column] != nullptr) {
        delete anchorGrid[row][column];
        anchorGrid[row][column] = nullptr;
      }
    }
  }
  for (auto& row : occupancyGrid)
    for (BlockModule*& cell : row) cell = nullptr;
  cursorX = 0;
  cursorY = 0;
  ForgetConnectSource();
}

void PatchArea::SetTitle(const char* name) {
  // Cut, never overrun: the prefix always fits, the name takes what is left.
  const size_t prefixLength = sizeof(kTitlePrefix) - 1;
  std::memcpy(title, kTitlePrefix, prefixLength);
  size_t length = prefixLength;
  for (const char* c = name; *c != '\0' && length < sizeof(title) - 1; ++c) title[length++] = *c;
  title[length] = '\0';
}

void PatchArea::ForgetConnectSource() {
  connectSourceY = -1;
  connectSourceX = -1;
  connectSourceOutput = -1;
}

int32_t PatchArea::CursorUp() {
  if (cursorY <= 0) return 0;
  --cursorY;
  return 1;
}

int32_t PatchArea::CursorDown() {
  if (cursorY >= kGridRows - 1) return 0;
  ++cursorY;
  return 1;
}

int32_t PatchArea::CursorLeft() {
  if (cursorX <= 0) return 0;
  --cursorX;
  return 1;
}

int32_t PatchArea::CursorRight() {
  if (cursorX >= kGridColumns - 1) return 0;
  ++cursorX;
  return 1;
}

BlockModule* PatchArea::ModuleAt(int32_t column, int32_t row) const {
  return InsideGrid(column, row) ? anchorGrid[row][column] : nullptr;
}

BlockModule* PatchArea::ModuleCovering(int32_t column, int32_t row) const {
  return InsideGrid(column, row) ? occupancyGrid[row][column] : nullptr;
}

bool PatchArea::FitsNewModule(int32_t column, int32_t row, const BlockModule* ignore) const {
  if (!InsideAnchorRange(column, row)) return false;
  for (int32_t y = row; y < row + kModuleSize; ++y)
    for (int32_t x = column; x < column + kModuleSize; ++x)
      if (occupancyGrid[y][x] != nullptr && occupancyGrid[y][x] != ignore) return false;
  return true;
}

void PatchArea::FillSquare(int32_t column, int32_t row, BlockModule* module) {
  for (int32_t y = row; y < row + kModuleSize; ++y)
    for (int32_t x = column; x < column + kModuleSize; ++x) occupancyGrid[y][x] = module;
}

int32_t PatchArea::Select(int32_t column, int32_t row) {
  if (!InsideGrid(column, row)) return 0;
  if (const BlockModule* covering = occupancyGrid[row][column]; covering != nullptr) {
    cursorX = covering->posX;
    cursorY = covering->posY;
    return 1;
  }
  if (!FitsNewModule(column, row)) return 0;
  cursorX = column;
  cursorY = row;
  return 1;
}

int32_t PatchArea::MoveSelected(int32_t column, int32_t row) {
  BlockModule* module = SelectedModule();
  if (!InsideAnchorRange(column, row) || module == nullptr || anchorGrid[row][column] != nullptr) return 0;
  if (!FitsNewModule(column, row, module)) return 0;

  const int32_t oldX = module->posX;
  const int32_t oldY = module->posY;
  anchorGrid[oldY][oldX] = nullptr;
  FillSquare(oldX, oldY, nullptr);
  anchorGrid[row][column] = module;
  FillSquare(column, row, module);
  module->posX = column;
  module->posY = row;
  // A chosen wire source stays with its module, so a wire begun before the
  // move still starts from it.
  if (connectSourceX == oldX && connectSourceY == oldY) {
    connectSourceX = column;
    connectSourceY = row;
  }
  cursorX = column;
  cursorY = row;
  return 1;
}

int32_t PatchArea::BeginConnection(int32_t output) {
  const BlockModule* module = SelectedModule();
  if (output < 0 || output >= kModuleOutputCount || module == nullptr || !OutputExists(module->type, output)) return 0;
  connectSourceX = cursorX;
  connectSourceY = cursorY;
  connectSourceOutput = output;
  return 1;
}

int32_t PatchArea::CompleteConnection(int32_t input) {
  BlockModule* module = SelectedModule();
  if (!ValidInput(input) || connectSourceOutput == -1 || module == nullptr) return 0;
  // The recorded fields follow the wire that was really made, so the panel
  // never shows an input as wired while its input word still reads the default.
  if (module->ConnectInput(ModuleAt(connectSourceX, connectSourceY), connectSourceOutput, input) != 0) {
    module->inputSourceX[input] = connectSourceX;
    module->inputSourceY[input] = connectSourceY;
    module->inputSourceOutput[input] = connectSourceOutput;
  }
  return 1;
}

int32_t PatchArea::DisconnectSelectedInput(int32_t input) {
  BlockModule* module = SelectedModule();
  if (module == nullptr) return 0;
  return module->DisConnectInput(input);
}

int32_t PatchArea::IsSelectedInputConnected(int32_t input) const {
  const BlockModule* module = SelectedModule();
  if (!ValidInput(input) || module == nullptr) return 0;
  return module->inputSourceOutput[input] != -1 ? 1 : 0;
}

ModuleType PatchArea::GetSelectedType() const {
  const BlockModule* module = SelectedModule();
  return module != nullptr ? module->type : ModuleTypeId::kNoModule;
}

int32_t PatchArea::GetSelectedMode() const {
  const BlockModule* module = SelectedModule();
  return module != nullptr ? module->mode : 0;
}

int32_t PatchArea::SetSelectedMode(int32_t newMode) {
  BlockModule* module = SelectedModule();
  return module != nullptr ? module->SetMode(newMode) : 0;
}

int32_t PatchArea::GetSelectedController(int32_t index) const {
  const BlockModule* module = SelectedModule();
  return module != nullptr ? module->GetController(index) : 0;
}

void PatchArea::SetSelectedController(int32_t index, int32_t value) {
  if (BlockModule* module = SelectedModule(); module != nullptr) module->SetController(index, value);
}

void PatchArea::OpenSelectedEditWindow(WindowHandle parent) {
  if (BlockModule* module = SelectedModule(); module != nullptr) module->OpenEditWindow(parent);
}

void PatchArea::UnwireInputsFedBy(const BlockModule* source) {
  for (auto& gridRow : anchorGrid)
    for (BlockModule* module : gridRow)
      if (module != nullptr)
        for (int32_t i = 0; i < kModuleInputCount; ++i)
          if (module->inputSource[i] == source) module->DisConnectInput(i);
}

int32_t PatchArea::SetModuleAt(int32_t column, int32_t row, ModuleType newType) {
  if (!InsideGrid(column, row) || !IsModuleType(newType)) return 0;
  BlockModule* module = anchorGrid[row][column];

  if (module != nullptr) {
    if (newType != ModuleTypeId::kNoModule) {
      module->SetBlockType(newType);
      return 1;
    }
    // No input may keep a reference to a module that is gone.
    UnwireInputsFedBy(module);
    anchorGrid[row][column] = nullptr;
    FillSquare(column, row, nullptr);
    delete module;
    return 1;
  }

  if (newType == ModuleTypeId::kNoModule) return 1;
  if (!FitsNewModule(column, row)) return 0;
  module = new BlockModule(newType);
  module->posX = column;
  module->posY = row;
  anchorGrid[row][column] = module;
  FillSquare(column, row, module);
  return 1;
}

int32_t PatchArea::ReplaceSelected(ModuleType newType) {
  if (!IsModuleType(newType)) return 0;
  const BlockModule* selected = SelectedModule();
  if (selected == nullptr && newType != ModuleTypeId::kNoModule && !FitsNewModule(cursorX, cursorY)) return 0;

  if (connectSourceX == cursorX && connectSourceY == cursorY) ForgetConnectSource();
  if (selected != nullptr) UnwireInputsFedBy(selected);
  return SetModuleAt(cursorX, cursorY, newType);
}
