// Helpers for the patch model and patch file suites: an engine back at
// program start for every test, and a capture of the messages shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"
#include "dsp/MessageSink.h"
#include "patch/PatchArea.h"

// Every DspMemory word, pool flag, buffer and the noise source as at program
// start, then InitDspMemory. Only valid while no module exists.
inline void ResetEngineToStart() { ResetEngineToProgramStart(); }

struct ShownMessage {
  void* owner;
  std::string text;
  MessageIcon icon;
};

// Records every message while it lives.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture() { SetMessageSink(nullptr, nullptr); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<std::string> Texts() const;
  std::vector<ShownMessage> shown;
};

inline int32_t Word(int32_t index) { return DspMemory.Load(index); }

// Modules anchored on the grid, and blocks left on the free list.
int32_t CountModules(const PatchArea& area);
int32_t CountFreeBlocks();

// Every input of the module unwired, recorded as such, and reading its type's default.
bool Unwired(const BlockModule& module);

class PatchModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngineToStart(); }
  MessageCapture messages;
};
