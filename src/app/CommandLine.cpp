#include "app/CommandLine.h"

#include <cstdio>
#include <filesystem>

#include "app/Dispatch.h"

EditorArguments ParseEditorArguments(int argc, char** argv) {
  EditorArguments arguments;
  if (argc <= 1) return arguments;
  const std::string given = argv[1];
  if (argc > 2 || given.empty() || given[0] == '-') {
    arguments.ok = false;
    arguments.error = argc > 2 ? "give one patch file at most" : "unknown option " + given;
    return arguments;
  }
  // Absolute, so that the dialogs later propose the file with its folder.
  std::error_code unknownFolder;
  const std::filesystem::path path = std::filesystem::absolute(given, unknownFolder);
  arguments.patchPath = unknownFolder ? given : path.string();
  if (arguments.patchPath.size() >= kFilePathSize ||
      path.filename().string().size() >= static_cast<size_t>(kFileTitleSize)) {
    arguments.ok = false;
    arguments.error = "the file name is too long";
  }
  return arguments;
}

void OpenPatchAtStart(MainWindow& main, const std::string& path) {
  PatchArea& area = *main.area;
  std::snprintf(area.filePath, sizeof area.filePath, "%s", path.c_str());
  std::snprintf(area.fileTitle, sizeof area.fileTitle, "%s",
                std::filesystem::path(path).filename().string().c_str());
  area.OpenChosenFile(main.window);
  FinishFileCommand(main);
}
