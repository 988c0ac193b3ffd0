// The program's start-up: window classes, the DSP engine, the message boxes
// and the main window, in that order.
#pragma once

#include "app/MainWindow.h"
#include "editors/PatternEditors.h"

// Resources of the program icon.
inline constexpr int32_t kProgramIconLarge = 105;
inline constexpr int32_t kProgramIconSmall = 106;
inline constexpr char kPlayBackWindowClass[] = "PlayBackWindow";

// Hands a message to the object stored in the window's extra word 0, or to
// default handling while there is none.
int32_t ObjectWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Registers the classes, initialises the engine, installs the pattern
// editors, routes the message sink to message boxes and creates the shown
// main window with audio running. The window system must be up and the
// wave-output device chosen.
MainWindow* StartEditor();
