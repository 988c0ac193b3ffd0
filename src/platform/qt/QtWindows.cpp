// Qt adapter: window classes, top-level windows and child controls.
//
// Implements class registration, CreateTopLevelWindow (a QMainWindow whose
// central widget is the fixed-size client area), CreateOwnedWindow (the
// same, a child top-level widget of its owner's frame), CreateChildControl with
// QPushButton, QCheckBox, QScrollBar and QLabel at fixed client positions,
// texts, enabling, scroll positions, check states, invalidation, focus,
// SendWindowMessage, DefaultWindowProc and window destruction.
//
// Differs from Win32: no control takes the keyboard focus, so keys reach the
// client area even right after a control was used; the client area is always
// painted on the class background, so "background kept" and "background
// cleared" look the same (nothing stale is left outside the patch grid).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <map>
#include <string>

#include "platform/qt/QtProbe.h"
#include "platform/qt/QtWindowTypes.h"

namespace {

// Where a control keeps the id it was created with.
constexpr char kControlIdProperty[] = "varnotekControlId";

std::map<std::string, WindowClass>& Classes() {
  static std::map<std::string, WindowClass> classes;
  return classes;
}

void DestroyQtWindow(WindowHandle window) {
  ClientSurface* surface = AsSurface(window);
  if (surface == nullptr) {
    AsWidget(window)->deleteLater();
    return;
  }
  if (surface->destroyed) return;
  // As on Win32, the windows it owns go first.
  for (auto* owned : surface->window()->findChildren<TopLevelFrame*>(Qt::FindDirectChildrenOnly)) {
    DestroyQtWindow(AsHandle(owned->Surface()));
  }
  surface->Send(kWmDestroy, 0, 0);
  // From now on the window gets default handling only, as a destroyed one would.
  surface->destroyed = true;
  surface->object = nullptr;
  QWidget* frame = surface->window();
  frame->hide();
  // Destruction may start inside one of the frame's own event handlers.
  frame->deleteLater();
}

}  // namespace

ClientSurface::ClientSurface(WindowProcedure procedure, int32_t width, int32_t height) : procedure_(procedure) {
  setFixedSize(width, height);
  setFocusPolicy(Qt::StrongFocus);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
}

int32_t ClientSurface::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return procedure_(AsHandle(this), message, wParam, lParam);
}

bool ClientSurface::focusNextPrevChild(bool) { return false; }

TopLevelFrame::TopLevelFrame(ClientSurface* surface) : surface_(surface) {
  setCentralWidget(surface);
  // The frame follows the client area and the menu bar's height, whatever the style.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TopLevelFrame::closeEvent(QCloseEvent* event) {
  event->ignore();
  surface_->Send(kWmClose, 0, 0);
}

ClientSurface* AsSurface(WindowHandle window) { return dynamic_cast<ClientSurface*>(AsWidget(window)); }

void InitWindowSystem(int& argc, char** argv) {
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  // The program ends when its main window's owner says so, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  destroyWindowHandler = DestroyQtWindow;
  fileDialogHandler = RunQtFileDialog;
}

int32_t RunMessageLoop() { return QApplication::exec(); }

void QuitMessageLoop(int32_t code) { QApplication::exit(code); }

bool RegisterWindowClass(const WindowClass& windowClass) {
  return Classes().emplace(windowClass.name, windowClass).second;
}

WindowHandle CreateTopLevelWindow(const char* className, const char* title, int32_t clientWidth,
                                  int32_t clientHeight) {
  const auto found = Classes().find(className);
  if (found == Classes().end()) return nullptr;
  const WindowClass& windowClass = found->second;
  auto* surface = new ClientSurface(windowClass.procedure, clientWidth, clientHeight);
  auto* frame = new TopLevelFrame(surface);
  frame->setWindowTitle(QString::fromLatin1(title));
  QIcon icon;
  icon.addPixmap(IconPixmap(windowClass.largeIcon));
  icon.addPixmap(IconPixmap(windowClass.smallIcon));
  frame->setWindowIcon(icon);
  if (windowClass.menu != nullptr) BuildMenuBar(frame, *windowClass.menu);
  return AsHandle(surface);
}

WindowHandle CreateOwnedWindow(const char* className, const char* title, WindowHandle owner, int32_t x, int32_t y,
                               int32_t outerWidth, int32_t outerHeight, bool visible) {
  // Win32's classic frame of an overlapping window: 4-pixel borders and a 19-pixel caption.
  constexpr int32_t kFrameWidth = 8, kFrameHeight = 27;
  const WindowHandle window =
      CreateTopLevelWindow(className, title, outerWidth - kFrameWidth, outerHeight - kFrameHeight);
  if (window == nullptr) return nullptr;
  QWidget* frame = AsWidget(window)->window();
  // A child top-level widget stays in front of its parent and is deleted with it.
  if (ClientSurface* ownerSurface = owner != nullptr ? AsSurface(owner) : nullptr) {
    frame->setParent(ownerSurface->window(), Qt::Window);
  }
  frame->move(x, y);
  // On Win32 the shell hands the focus back to the owner at once; here the
  // window manager would activate the new window after that, so it is
  // shown without taking the focus.
  frame->setAttribute(Qt::WA_ShowWithoutActivating);
  if (visible) frame->show();
  return window;
}

void ShowTopLevelWindow(WindowHandle window) {
  QWidget* frame = AsWidget(window)->window();
  frame->show();
  if (!frame->testAttribute(Qt::WA_ShowWithoutActivating)) {
    frame->activateWindow();
    AsWidget(window)->setFocus(Qt::OtherFocusReason);
  }
  AsWidget(window)->repaint();
}

void SetWindowTitle(WindowHandle window, const char* title) {
  AsWidget(window)->window()->setWindowTitle(QString::fromLatin1(title));
}

void SetWindowObject(WindowHandle window, WindowObject* object) {
  if (ClientSurface* surface = AsSurface(window)) surface->object = object;
}

WindowObject* GetWindowObject(WindowHandle window) {
  ClientSurface* surface = AsSurface(window);
  return surface != nullptr ? surface->object : nullptr;
}

WindowHandle CreateChildControl(WindowHandle parent, ControlKind kind, int32_t x, int32_t y, int32_t width,
                                int32_t height, const char* text, int32_t id) {
  ClientSurface* surface = AsSurface(parent);
  if (surface == nullptr) return nullptr;
  QWidget* control = nullptr;
  const QString caption = QString::fromLatin1(text != nullptr ? text : "");
  switch (kind) {
    case ControlKind::PushButton:
      control = new QPushButton(caption, surface);
      break;
    case ControlKind::CheckBox:
      control = new QCheckBox(caption, surface);
      break;
    case ControlKind::HorizontalScrollBar:
      control = new QScrollBar(Qt::Horizontal, surface);
      break;
    case ControlKind::StaticLabel: {
      auto* label = new QLabel(caption, surface);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      control = label;
      break;
    }
  }
  control->setGeometry(x, y, width, height);
  control->setFocusPolicy(Qt::NoFocus);
  control->setProperty(kControlIdProperty, id);
  ConnectControl(control, surface, id);
  control->show();
  return AsHandle(control);
}

int32_t GetControlId(WindowHandle control) { return AsWidget(control)->property(kControlIdProperty).toInt(); }

void SetControlText(WindowHandle control, const char* text) {
  ++QtActivity().textsSet;
  const QString caption = QString::fromLatin1(text);
  QWidget* widget = AsWidget(control);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(caption);
  }
}

void EnableControl(WindowHandle control, bool enabled) { AsWidget(control)->setEnabled(enabled); }

void SetScrollBarRange(WindowHandle bar, int32_t minimum, int32_t maximum) {
  if (auto* scrollBar = qobject_cast<QScrollBar*>(AsWidget(bar))) scrollBar->setRange(minimum, maximum);
}

void SetScrollPosition(WindowHandle bar, int32_t position) {
  // setValue moves value and thumb together and triggers no slider action.
  if (auto* scrollBar = qobject_cast<QScrollBar*>(AsWidget(bar))) scrollBar->setValue(position);
}

void SetCheckState(WindowHandle control, bool checked) {
  if (auto* box = qobject_cast<QAbstractButton*>(AsWidget(control))) box->setChecked(checked);
}

bool GetCheckState(WindowHandle control) {
  auto* box = qobject_cast<QAbstractButton*>(AsWidget(control));
  return box != nullptr && box->isChecked();
}

void InvalidateWindow(WindowHandle window, bool erase) {
  QtWindowActivity& activity = QtActivity();
  ++activity.invalidations;
  if (erase) ++activity.erasingInvalidations;
  AsWidget(window)->update();
}

void FocusWindow(WindowHandle window) {
  // Win32's SetFocus activates the window's top-level window too, so the
  // main window takes keys again while an edit window it owns stays in front.
  QWidget* widget = AsWidget(window);
  if (!widget->window()->isActiveWindow()) widget->window()->activateWindow();
  widget->setFocus(Qt::OtherFocusReason);
}

int32_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  ClientSurface* surface = AsSurface(window);
  return surface != nullptr ? surface->Send(message, wParam, lParam) : 0;
}

int32_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  if (message == kWmClose) DestroyPlatformWindow(window);
  return 0;
}
