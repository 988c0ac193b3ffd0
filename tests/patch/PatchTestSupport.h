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

// Every input of the module unwired, recorded as such, and reading its type's default.
bool Unwired(const BlockModule& module);

class PatchModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngine(); }
  MessageCapture messages;
};
