#include "app/MessageBoxes.h"

#include "dsp/MessageSink.h"
#include "platform/Window.h"

namespace {

void ShowInBox(void*, void* ownerWindow, const char* text, MessageIcon icon) {
  const uint32_t style = icon == MessageIcon::Error ? kMbIconError : icon == MessageIcon::Warning ? kMbIconWarning : kMbOk;
  ShowMessageBox(ownerWindow, text, nullptr, style);
}

}  // namespace

void ShowMessagesInBoxes() { SetMessageSink(ShowInBox, nullptr); }
