// The File menu's commands: the dialogs, the file name fields and the title.
// Reading and writing are LoadPatch's and SavePatch's.
#include "patch/PatchArea.h"

namespace {

// One entry: the description, then the pattern.
constexpr char kPatchFilter[] = "Varnotek Files (*.PCH)\0*.pch\0";
constexpr char kPatchExtension[] = "pch";

bool ChooseFile(PatchArea& area, WindowHandle owner, FileDialogKind kind) {
  FileDialogState& state = area.dialogState;
  state = FileDialogState{};
  state.owner = owner;
  state.filter = kPatchFilter;
  state.file = area.filePath;
  state.fileSize = sizeof area.filePath;
  state.fileTitle = area.fileTitle;
  state.fileTitleSize = sizeof area.fileTitle;
  state.flags = kOfnNoChangeDir | (kind == FileDialogKind::Save ? kOfnOverwritePrompt : 0);
  state.defaultExtension = kPatchExtension;
  return ShowFileDialog(kind, state);
}

}  // namespace

void PatchArea::FileNew() {
  Clear();
  fileTitle[0] = '\0';
  filePath[0] = '\0';
  SetTitle(kNewPatchName);
}

void PatchArea::FileOpen(WindowHandle owner) {
  if (ChooseFile(*this, owner, FileDialogKind::Open)) OpenChosenFile(owner);
}

void PatchArea::OpenChosenFile(WindowHandle owner) {
  // The title names the file even when it then cannot be read: the old
  // patch stays, under the new name.
  SetTitle(fileTitle);
  LoadPatch(owner);
}

void PatchArea::FileSave(WindowHandle owner) {
  if (filePath[0] != '\0') {
    SavePatch(owner);
  } else {
    FileSaveAs(owner);
  }
}

void PatchArea::FileSaveAs(WindowHandle owner) {
  if (ChooseFile(*this, owner, FileDialogKind::Save)) SavePatch(owner);
}
