// Shows every message of the engine, the patch model and the file reader as
// a modal message box with its text and icon and the default caption.
#pragma once

void ShowMessagesInBoxes();
