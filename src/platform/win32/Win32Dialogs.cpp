// Win32 adapter: message boxes and the common file dialogs.
// clang-format off
#include "platform/win32/Win32WindowTypes.h"
#include <commdlg.h>
// clang-format on

int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(AsHwnd(owner), text, caption, style);
}

// The record the shell filled, handed over field by field; the dialog
// writes the chosen path and name into the shell's own buffers.
bool RunWin32FileDialog(FileDialogKind kind, FileDialogState& state) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = AsHwnd(state.owner);
  dialog.lpstrFilter = state.filter;
  dialog.lpstrCustomFilter = state.customFilter;
  dialog.nMaxCustFilter = state.customFilterSize;
  dialog.nFilterIndex = state.filterIndex;
  dialog.lpstrFile = state.file;
  dialog.nMaxFile = state.fileSize;
  dialog.lpstrFileTitle = state.fileTitle;
  dialog.nMaxFileTitle = state.fileTitleSize;
  dialog.lpstrInitialDir = state.initialFolder;
  dialog.lpstrTitle = state.dialogTitle;
  dialog.Flags = state.flags;
  dialog.lpstrDefExt = state.defaultExtension;
  const BOOL chosen = kind == FileDialogKind::Open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  return chosen != FALSE;
}
