// Helpers for the patch model and patch file suites: an engine back at
// program start for every test (valid only while no module exists), a
// capture of the messages shown and counts over the grid and the free list.
#pragma once

#include "dsp/DspTestSupport.h"
#include "patch/PatchArea.h"

inline int32_t Word(int32_t index) { return DspMemory.Load(index); }

// Modules anchored on the grid, and blocks left on the free list.
int32_t CountModules(const PatchArea& area);
int32_t CountFreeBlocks();

// Output `output` of the module at (fromX, fromY) wired to input `input` of
// the one at (toX, toY), as the editor does it: through the selection.
inline void Connect(PatchArea& area, int32_t fromX, int32_t fromY, int32_t output, int32_t toX, int32_t toY, int32_t input) {
  area.Select(fromX, fromY), area.BeginConnection(output), area.Select(toX, toY), area.CompleteConnection(input);
}

// Every input of the module unwired, recorded as such, and reading its type's default.
bool Unwired(const BlockModule& module);

class PatchModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngine(); }
  MessageCapture messages;
};
