// Helpers for the engine and the suites above it: a clean engine per test,
// hand-built blocks and a capture of the messages shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/MessageSink.h"

// Every word, pool, buffer and the noise source back to program start.
void ResetEngine();

// Reserves a block, writes the controllers and the opcode last, as the
// patch model does. Inputs stay on the zero word unless given as offsets into
// the block itself (1..4 = own controller, 35 = zeroSlot).
int32_t MakeBlock(int32_t opcode, std::initializer_list<int32_t> controllers = {}, std::initializer_list<int32_t> inputOffsets = {});

void Wire(int32_t block, int32_t input, int32_t sourceBlock, int32_t sourceOutput);
// Points an input at a word of a "constant" block: a block without opcode
// whose controller 0 holds the value.
int32_t MakeConstant(int32_t value);
void SetConstant(int32_t constantBlock, int32_t value);

int32_t Word(int32_t block, int32_t offset);
void SetWord(int32_t block, int32_t offset, int32_t value);
inline int32_t Out(int32_t block, int32_t o) { return Word(block, BlockWord::kOutput + o); }
inline int32_t State(int32_t block, int32_t k) { return Word(block, BlockWord::kState + k); }

// Runs one block's step as the render loop would, outside a full frame.
void Step(int32_t block, int32_t noiseValue = 0);

// Renders n frames through the real loop and returns the interleaved samples.
std::vector<int16_t> Render(int32_t frames);

struct ShownMessage { void* owner; std::string text; MessageIcon icon; };

// Records every message while it lives.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<std::string> Texts() const;
  std::vector<ShownMessage> shown;
};

class EngineTest : public ::testing::Test { protected: void SetUp() override { ResetEngine(); } };
