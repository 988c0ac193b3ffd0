#include "app/Dispatch.h"

#include <cstddef>

#include "app/MainWindow.h"

namespace {

// What follows an operation: the steps in kOnSuccess run after a result of
// 1, the ones in kAlways whatever the result.
enum Step : uint8_t {
  kRepaintKeep = 1,   // invalidate, background kept
  kRepaintClear = 2,  // invalidate, background cleared
  kRefresh = 4,       // RefreshControlPanel
  kRetitle = 8,       // title from the patch area
  kFocusBack = 16,    // keyboard focus to the main window
};

// An operation gets the code that chose its row (key, character or command id).
using Operation = int32_t (*)(MainWindow& main, uint32_t code);

struct Row {
  uint32_t first;  // codes first..last take this row
  uint32_t last;
  Operation operation;  // nullptr = nothing
  uint8_t onSuccess;
  uint8_t always;
};

int32_t EnterBox(MainWindow& main, uint32_t) {
  ShowMessageBox(main.window, "Enter Key pressed", nullptr, kMbOk);
  return 0;
}
int32_t Left(MainWindow& main, uint32_t) { return main.area->CursorLeft(); }
int32_t Up(MainWindow& main, uint32_t) { return main.area->CursorUp(); }
int32_t Right(MainWindow& main, uint32_t) { return main.area->CursorRight(); }
int32_t Down(MainWindow& main, uint32_t) { return main.area->CursorDown(); }

constexpr Row kKeys[] = {
    {kVkReturn, kVkReturn, EnterBox, 0, 0},
    {kVkLeft, kVkLeft, Left, kRepaintKeep | kRefresh, 0},
    {kVkUp, kVkUp, Up, kRepaintKeep | kRefresh, 0},
    {kVkRight, kVkRight, Right, kRepaintKeep | kRefresh, 0},
    {kVkDown, kVkDown, Down, kRepaintKeep | kRefresh, 0},
};

// Digits 1..5 choose outputs 0..4 as wire source; 6..9 and 0 wire inputs 0..4 to it.
int32_t SourceDigit(MainWindow& main, uint32_t digit) { return main.area->BeginConnection(digit - '1'); }
int32_t InputDigit(MainWindow& main, uint32_t digit) { return main.area->CompleteConnection(digit - '6'); }
int32_t InputZero(MainWindow& main, uint32_t) { return main.area->CompleteConnection(4); }

constexpr Row kCharacters[] = {
    {'1', '5', SourceDigit, kRepaintClear | kRefresh, 0},
    {'6', '9', InputDigit, kRepaintClear | kRefresh, 0},
    {'0', '0', InputZero, kRepaintClear | kRefresh, 0},
};

int32_t New(MainWindow& main, uint32_t) {
  main.area->FileNew();
  return 1;
}
template <void (PatchArea::*command)(WindowHandle owner)>
int32_t FileCommand(MainWindow& main, uint32_t) {
  (main.area->*command)(main.window);
  return 1;
}
int32_t Exit(MainWindow& main, uint32_t) { return SendWindowMessage(main.window, kWmClose, 0, 0); }
int32_t Replace(MainWindow& main, uint32_t id) { return main.area->ReplaceSelected(id - kModuleCommandBase); }
int32_t EditShow(MainWindow& main, uint32_t) {
  main.area->OpenSelectedEditWindow(main.window);
  return 1;
}
int32_t Input(MainWindow& main, uint32_t id) { return main.area->CompleteConnection(id - 800); }
int32_t Disconnect(MainWindow& main, uint32_t id) { return main.area->DisconnectSelectedInput(id - 816); }
int32_t Output(MainWindow& main, uint32_t id) { return main.area->BeginConnection(id - 832); }

constexpr uint8_t kAfterFile = kRepaintClear | kRefresh | kRetitle;
constexpr uint8_t kAfterModule = kRepaintClear | kRefresh | kFocusBack;

// The ids without a row (greyed menu items, the module buttons of types
// 7..11, 21..23 and 25..31) only give the focus back.
constexpr Row kCommands[] = {
    {40001, 40001, New, 0, kAfterFile},
    {40002, 40002, FileCommand<&PatchArea::FileOpen>, 0, kAfterFile},
    {40003, 40003, FileCommand<&PatchArea::FileSave>, 0, kAfterFile},
    {40004, 40004, FileCommand<&PatchArea::FileSaveAs>, 0, kAfterFile},
    {40005, 40005, Exit, 0, 0},
    {50000, 50006, Replace, 0, kAfterModule},
    {50012, 50020, Replace, 0, kAfterModule},
    {50024, 50024, Replace, 0, kAfterModule},
    {50032, 50035, Replace, 0, kAfterModule},
    {511, 511, EditShow, 0, kFocusBack},
    {800, 804, Input, kRepaintClear | kRefresh, kFocusBack},
    {816, 820, Disconnect, kRepaintClear | kRefresh, kFocusBack},
    {832, 836, Output, kRepaintClear, kFocusBack},
};
constexpr Row kUnlistedCommand = {0, 0, nullptr, 0, kFocusBack};

void RunSteps(MainWindow& main, uint8_t steps) {
  if (steps & kRepaintKeep) main.Invalidate(false);
  if (steps & kRepaintClear) main.Invalidate(true);
  if (steps & kRefresh) main.RefreshControlPanel();
  if (steps & kRetitle) SetWindowTitle(main.window, main.area->title);
  if (steps & kFocusBack) main.FocusBack();
}

template <std::size_t count>
const Row* FindRow(const Row (&rows)[count], uint32_t code) {
  for (const Row& row : rows) {
    if (code >= row.first && code <= row.last) return &row;
  }
  return nullptr;
}

void Dispatch(MainWindow& main, const Row* row, uint32_t code) {
  if (row == nullptr) return;
  const int32_t result = row->operation != nullptr ? row->operation(main, code) : 0;
  RunSteps(main, (result == 1 ? row->onSuccess : 0) | row->always);
}

}  // namespace

void DispatchKey(MainWindow& main, uint32_t virtualKey) { Dispatch(main, FindRow(kKeys, virtualKey), virtualKey); }

void DispatchCharacter(MainWindow& main, uint32_t character) {
  Dispatch(main, FindRow(kCharacters, character), character);
}

void DispatchCommand(MainWindow& main, uint32_t id) {
  const Row* row = FindRow(kCommands, id);
  Dispatch(main, row != nullptr ? row : &kUnlistedCommand, id);
}

void FinishFileCommand(MainWindow& main) { RunSteps(main, kAfterFile); }
