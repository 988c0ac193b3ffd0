#include "DspTestSupport.h"

#include "dsp/EngineReset.h"
#include "dsp/MessageSink.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"

void ResetEngine() { ResetEngineToProgramStart(); }

int32_t MakeBlock(int32_t opcode, std::initializer_list<int32_t> controllers, std::initializer_list<int32_t> inputOffsets) {
  const int32_t block = ReserveDSPBlock();
  int32_t c = 0, i = 0;
  for (int32_t value : controllers) SetWord(block, c++, value);
  for (int32_t offset : inputOffsets) SetWord(block, BlockWord::kInput + i++, block + offset);
  SetOpcode(block, opcode);
  return block;
}

void Wire(int32_t block, int32_t input, int32_t sourceBlock, int32_t sourceOutput) {
  SetWord(block, BlockWord::kInput + input, sourceBlock + BlockWord::kOutput + sourceOutput);
}

// A constant is read through the block's output 0, which no step writes
// while its opcode is 0.
void SetConstant(int32_t constantBlock, int32_t value) { SetWord(constantBlock, BlockWord::kOutput, value); }
int32_t MakeConstant(int32_t value) {
  const int32_t block = ReserveDSPBlock();
  return SetConstant(block, value), block;
}

int32_t Word(int32_t block, int32_t offset) { return DspMemory.Load(block + offset); }
void SetWord(int32_t block, int32_t offset, int32_t value) { DspMemory.Store(block + offset, value); }

void Step(int32_t block, int32_t noiseValue) { RenderBlock(block, Word(block, BlockWord::kOpcode), noiseValue); }

std::vector<int16_t> Render(int32_t frames) {
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
  RenderFrames(samples.data(), frames);
  return samples;
}

MessageCapture::MessageCapture() {
  SetMessageSink(
      [](void* capture, void* owner, const char* text, MessageIcon icon) {
        static_cast<MessageCapture*>(capture)->shown.push_back({owner, text, icon});
      },
      this);
}
MessageCapture::~MessageCapture() { SetMessageSink(nullptr, nullptr); }

std::vector<std::string> MessageCapture::Texts() const {
  std::vector<std::string> texts;
  for (const ShownMessage& message : shown) texts.push_back(message.text);
  return texts;
}
