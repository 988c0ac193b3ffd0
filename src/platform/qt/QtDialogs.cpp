// Qt adapter: message boxes.
//
// Implements ShowMessageBox as a modal QMessageBox with one OK button and
// the icon of the style (error, warning, information or none), owned by the
// owner's top-level window when there is one; the keyboard focus returns to
// where it was when the box closes.
//
// Differs from Win32: the default caption is Win32's own, "Error", so boxes
// read the same on both platforms.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "platform/qt/QtWindowTypes.h"

namespace {

QMessageBox::Icon IconOf(uint32_t style) {
  switch (style & 0xF0) {
    case kMbIconError: return QMessageBox::Critical;
    case kMbIconWarning: return QMessageBox::Warning;
    case kMbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
  QWidget* parent = owner != nullptr ? AsWidget(owner)->window() : nullptr;
  QMessageBox box(IconOf(style), QString::fromLatin1(caption != nullptr ? caption : "Error"),
                  QString::fromLatin1(text), QMessageBox::Ok, parent);
  // As on Win32, the focus goes back where it was when the box closes.
  QPointer<QWidget> focus = QApplication::focusWidget();
  box.exec();
  if (focus != nullptr) {
    focus->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
  }
  return kIdOk;
}
