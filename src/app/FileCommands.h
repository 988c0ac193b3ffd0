// The entries of the File menu that work on files: New, Open Patch, Save
// Patch, Save Patch As. The file commands install them; until then the
// commands do nothing, and the main window still repaints, refreshes and
// sets its title after each, as it does after a cancelled dialog.
#pragma once

#include "patch/PatchArea.h"
#include "platform/Window.h"

using FileCommandFunction = void (*)(PatchArea& area, WindowHandle owner);

struct FileCommandHandlers {
  FileCommandFunction fileNew = nullptr;
  FileCommandFunction fileOpen = nullptr;
  FileCommandFunction fileSave = nullptr;
  FileCommandFunction fileSaveAs = nullptr;
};

inline FileCommandHandlers fileCommandHandlers;
