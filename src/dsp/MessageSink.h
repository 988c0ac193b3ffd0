// The one channel through which the engine, the patch model and the file reader
// tell the user about failures. The GUI shows a message box, the offline
// renderer prints to standard error, tests capture the texts.
#pragma once

enum class MessageIcon { None, Error, Warning };

using MessageHandler = void (*)(void* context, void* ownerWindow, const char* text, MessageIcon icon);

// Installs a handler; nullptr restores the default, which prints to stderr.
void SetMessageSink(MessageHandler handler, void* context);
void ShowMessage(void* ownerWindow, const char* text, MessageIcon icon);
