// What the Qt adapter's files share: the widget behind a top-level window
// handle, and the conversions between handles and widgets.
//
// A top-level window handle is its ClientSurface, the widget of the client
// area below the menu bar; a control handle is the control's own widget.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QWidget>

#include "platform/Window.h"

class QtDeviceContext;

// The client area: fixed size, paints through WM_PAINT, turns keys and
// mouse buttons into messages, and is the parent of every child control.
class ClientSurface final : public QWidget {
 public:
  ClientSurface(WindowProcedure procedure, int32_t width, int32_t height);

  int32_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);

  WindowObject* object = nullptr;          // extra word 0
  QtDeviceContext* paintContext = nullptr; // set while WM_PAINT is handled
  bool destroyed = false;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Tab is a key like any other, not a move to the next control.
  bool focusNextPrevChild(bool next) override;

 private:
  WindowProcedure procedure_;
};

// The frame around a client surface: title, program icon, menu bar.
class TopLevelFrame final : public QMainWindow {
 public:
  explicit TopLevelFrame(ClientSurface* surface);
  ClientSurface* Surface() const { return surface_; }

 protected:
  // The close box sends WM_CLOSE; the window goes only if its owner lets it.
  void closeEvent(QCloseEvent* event) override;

 private:
  ClientSurface* surface_;
};

inline QWidget* AsWidget(WindowHandle window) { return static_cast<QWidget*>(window); }
inline WindowHandle AsHandle(QWidget* widget) { return static_cast<void*>(widget); }
// nullptr when the handle is a control, not a top-level window.
ClientSurface* AsSurface(WindowHandle window);

// Qt events to messages: wires a new control's signals to its parent.
void ConnectControl(QWidget* control, ClientSurface* parent, int32_t id);

// Menus: builds the bar of a top-level window from its class's menu.
void BuildMenuBar(TopLevelFrame* frame, const MenuResource& menu);

// File dialogs: the adapter's dialog behind ShowFileDialog.
bool RunQtFileDialog(FileDialogKind kind, FileDialogState& state);

// Icon resources by number; a null pixmap for an unknown one.
const QPixmap& IconPixmap(int32_t icon);
