// The main window's tables of keys, characters and commands, and the one
// dispatcher that reads them.
#pragma once

#include <cstdint>

class MainWindow;

void DispatchKey(MainWindow& main, uint32_t virtualKey);
void DispatchCharacter(MainWindow& main, uint32_t character);
void DispatchCommand(MainWindow& main, uint32_t id);
// What every file command is followed by: the window repainted with its
// background, the panel refreshed, the title set from the patch area.
void FinishFileCommand(MainWindow& main);
