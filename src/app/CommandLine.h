// The editor's command line: `varnotek [PATCH.pch]`.
#pragma once

#include <string>

#include "app/MainWindow.h"

inline constexpr char kEditorUsage[] = "Usage: varnotek [PATCH.pch]";

struct EditorArguments {
  bool ok = true;
  std::string patchPath;  // absolute; empty: start with a new patch
  std::string error;      // why the arguments were refused
};

// argv without the window system's own options.
EditorArguments ParseEditorArguments(int argc, char** argv);

// Opens the patch as File > Open does once its dialog is confirmed: the
// file fields, the title, the reader's messages, and the window after it.
void OpenPatchAtStart(MainWindow& main, const std::string& path);
