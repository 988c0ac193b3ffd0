#include "PatchTestSupport.h"

#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"

void ResetEngineToStart() { ResetEngineToProgramStart(); }

namespace {

void Record(void* context, void* owner, const char* text, MessageIcon icon) {
  static_cast<MessageCapture*>(context)->shown.push_back({owner, text, icon});
}

}  // namespace

MessageCapture::MessageCapture() { SetMessageSink(Record, this); }

MessageCapture::~MessageCapture() { SetMessageSink(nullptr, nullptr); }

std::vector<std::string> MessageCapture::Texts() const {
  std::vector<std::string> texts;
  for (const ShownMessage& message : shown) texts.push_back(message.text);
  return texts;
}

int32_t Word(int32_t index) { return DspMemory.Load(index); }
