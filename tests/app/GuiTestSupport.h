// What the GUI suites share: the one main window of the test process,
// started as the program starts it, real Qt input, a catcher for modal
// message boxes, and what the adapter was asked to repaint and refresh.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "platform/qt/QtProbe.h"

inline QWidget* Widget(WindowHandle handle) { return static_cast<QWidget*>(handle); }
inline QWidget* Surface(MainWindow& main) { return Widget(main.window); }  // the client area
inline QString Text(WindowHandle control) { return Widget(control)->property("text").toString(); }  // of a label or a button
inline intptr_t Handle(WindowHandle control) { return reinterpret_cast<intptr_t>(control); }      // as a message's lParam

// The child control of `window` with that id, of that class.
template <typename Control>
Control* ControlWithId(WindowHandle window, int32_t id) {
  for (Control* control : Widget(window)->findChildren<Control*>()) if (GetControlId(control) == id) return control;
  return nullptr;
}

// Answers every message box that opens while it lives and keeps what it said.
struct MessageBoxCatcher {
  struct Box { QString text, caption; QMessageBox::Icon icon; };
  std::vector<Box> boxes;
  QTimer timer;
  MessageBoxCatcher() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible()) boxes.push_back({box->text(), box->windowTitle(), box->icon()}), box->button(QMessageBox::Ok)->click();
      }
    });
    timer.start(5);
  }
};

// The texts of the message boxes that start-up showed.
inline std::vector<QString> startUpBoxes;

// Started once per process (without a sound device).
inline MainWindow& Editor() {
  static MainWindow* main = [] {
    static int argc = 1; static char name[] = "varnotek-test", *argv[] = {name, nullptr};
    InitWindowSystem(argc, argv);
    MessageBoxCatcher catcher;
    MainWindow* started = StartEditor();
    for (const auto& box : catcher.boxes) startUpBoxes.push_back(box.text);
    (void)QTest::qWaitForWindowExposed(Surface(*started)->window());
    return started;
  }();
  return *main;
}

// An empty patch, cursor at (0, 0), panel refreshed, focus on the window.
inline MainWindow& FreshEditor() {
  MainWindow& main = Editor();
  main.area->Clear(), main.RefreshControlPanel(), main.FocusBack(), QApplication::processEvents();
  return main;
}

// Test seams through the patch model, followed by a refresh.
inline void Place(MainWindow& main, int32_t column, int32_t row, ModuleType type) {
  main.area->SetModuleAt(column, row, type), main.RefreshControlPanel();
}
inline void PutCursor(MainWindow& main, int32_t column, int32_t row) {
  PatchArea& area = *main.area;
  while ((area.CursorX() > column && area.CursorLeft()) || (area.CursorX() < column && area.CursorRight())) {}
  while ((area.CursorY() > row && area.CursorUp()) || (area.CursorY() < row && area.CursorDown())) {}
  main.RefreshControlPanel();
}
// WM_COMMAND, as a button or menu item sends it.
inline void Command(MainWindow& main, uint32_t id) { SendWindowMessage(main.window, kWmCommand, id, 0); }

inline void Click(QWidget* widget, QPoint at = QPoint(), Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(widget, button, {}, at); }

// Repaints the shell asked for during an action, and whether it refreshed the panel.
struct Effect { int32_t kept = 0, cleared = 0; bool refreshed = false; bool operator==(const Effect&) const = default; };
inline constexpr Effect kNoEffect{}, kKept{1, 0, false}, kCleared{0, 1, false};
inline constexpr Effect kKeptRefreshed{1, 0, true}, kClearedRefreshed{0, 1, true};
inline Effect Observe(const std::function<void()>& action) {
  QApplication::processEvents();
  const QtWindowActivity before = QtActivity();
  action(), QApplication::processEvents();
  const QtWindowActivity& after = QtActivity();
  const int32_t cleared = after.erasingInvalidations - before.erasingInvalidations;
  // A refresh sets 17 texts (captions, value labels, Output buttons); a scroll sets one.
  return {after.invalidations - before.invalidations - cleared, cleared, after.textsSet - before.textsSet >= 17};
}

// A table row's name for a failure message: its index.
template <typename Row, size_t count>
QByteArray RowName(const Row (&rows)[count], const Row& row) { return "row " + QByteArray::number(&row - rows); }

inline uint32_t PixelAt(const QImage& image, int32_t x, int32_t y) { return image.pixel(x, y) & 0xFFFFFF; }

