// Qt adapter: the open and save file dialogs.
//
// Runs a modal QFileDialog owned by the owner's top-level window, set up
// from the dialog record as Win32 would read it: the filter list, the
// proposed name (its folder becomes the dialog's folder), the default
// extension, and the overwrite prompt only where the flags ask for it.
//
// Differs from Win32: Qt never changes the process's current folder, so
// OFN_NOCHANGEDIR holds whatever the flags say. A chosen path that does not
// fit the record's buffers counts as a failure, as Win32's
// FNERR_BUFFERTOOSMALL does, and leaves them as they were.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <cstring>

#include "platform/qt/QtWindowTypes.h"

namespace {

// Win32's filter list, "description\0pattern\0...\0", as Qt name filters
// "description (patterns)". A description that already ends in its own
// patterns, as "Text (*.TXT)" does for "*.txt", is used as it is: Qt
// matches the patterns without regard to case.
QStringList NameFilters(const char* filter) {
  QStringList filters;
  while (filter != nullptr && *filter != '\0') {
    const QString description = QString::fromLatin1(filter);
    filter += std::strlen(filter) + 1;
    const QString patterns = QString::fromLatin1(filter).replace(';', ' ');
    filter += std::strlen(filter) + 1;
    const QString own = " (" + patterns + ")";
    filters << (description.endsWith(own, Qt::CaseInsensitive) ? description : description + own);
  }
  return filters;
}

void SetUp(QFileDialog& dialog, FileDialogKind kind, const FileDialogState& state) {
  const bool save = kind == FileDialogKind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Without a must-exist flag Win32's open dialog returns any name typed.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (state.flags & kOfnOverwritePrompt) == 0);
  const QStringList filters = NameFilters(state.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = state.filterIndex > 0 ? static_cast<int>(state.filterIndex) - 1 : 0;
    if (index < filters.size()) dialog.selectNameFilter(filters[index]);
  }
  if (state.defaultExtension != nullptr) dialog.setDefaultSuffix(QString::fromLatin1(state.defaultExtension));
  if (state.dialogTitle != nullptr) dialog.setWindowTitle(QString::fromLocal8Bit(state.dialogTitle));
  if (state.initialFolder != nullptr) dialog.setDirectory(QFile::decodeName(state.initialFolder));
  if (state.file != nullptr && state.file[0] != '\0') {
    const QFileInfo proposed(QFile::decodeName(state.file));
    if (proposed.fileName() != state.file) dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
  }
}

// A buffer of nullptr takes nothing and needs no room.
bool Fits(const char* buffer, uint32_t size, const QByteArray& text) {
  return buffer == nullptr || static_cast<uint32_t>(text.size()) < size;
}
void CopyInto(char* buffer, const QByteArray& text) {
  if (buffer != nullptr) std::memcpy(buffer, text.constData(), static_cast<size_t>(text.size()) + 1);
}

}  // namespace

bool RunQtFileDialog(FileDialogKind kind, FileDialogState& state) {
  QWidget* parent = state.owner != nullptr ? AsWidget(state.owner)->window() : nullptr;
  QFileDialog dialog(parent);
  SetUp(dialog, kind, state);
  QPointer<QWidget> focus = QApplication::focusWidget();
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (focus != nullptr) {
    focus->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
  }
  if (!chosen) return false;
  const QString path = dialog.selectedFiles().first();
  const QByteArray fullPath = QFile::encodeName(path);
  const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
  if (state.file == nullptr || !Fits(state.file, state.fileSize, fullPath) ||
      !Fits(state.fileTitle, state.fileTitleSize, name)) {
    return false;
  }
  CopyInto(state.file, fullPath);
  CopyInto(state.fileTitle, name);
  return true;
}
