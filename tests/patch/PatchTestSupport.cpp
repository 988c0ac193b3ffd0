#include "PatchTestSupport.h"

#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"

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

int32_t CountModules(const PatchArea& area) {
  int32_t count = 0;
  for (int32_t row = 0; row < kGridRows; ++row)
    for (int32_t column = 0; column < kGridColumns; ++column) count += area.ModuleAt(column, row) != nullptr;
  return count;
}

int32_t CountFreeBlocks() {
  int32_t count = 0;
  for (int32_t b = FreeListHead; b != -1 && count <= kDspBlockCount; b = Word(b + BlockWord::kNext)) ++count;
  return count;
}
