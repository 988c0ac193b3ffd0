#include "dsp/MessageSink.h"

#include <cstdio>

namespace {

void PrintToStderr(void*, void*, const char* text, MessageIcon) { std::fprintf(stderr, "%s\n", text); }

MessageHandler currentHandler = PrintToStderr;
void* currentContext = nullptr;

}  // namespace

void SetMessageSink(MessageHandler handler, void* context) {
  currentHandler = handler ? handler : PrintToStderr;
  currentContext = handler ? context : nullptr;
}

void ShowMessage(void* ownerWindow, const char* text, MessageIcon icon) {
  currentHandler(currentContext, ownerWindow, text, icon);
}
