// What the GUI suites share: the one main window of the test process,
// started as the program starts it, real Qt input, a catcher for modal
// message boxes, and what the adapter was asked to repaint and refresh.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/MainWindow.h"

QWidget* Widget(WindowHandle handle);
QWidget* Surface(MainWindow& main);  // the client area
QString Text(WindowHandle control);  // of a label or a button
QString WindowTitle(MainWindow& main);
// Started once per process (without a sound device); `startUpBoxes` gets
// the texts of the message boxes that start-up showed.
MainWindow& Editor(std::vector<QString>* startUpBoxes = nullptr);
// An empty patch, cursor at (0, 0), panel refreshed, focus on the window.
MainWindow& FreshEditor();
// Test seams through the patch model, followed by a refresh.
void Place(MainWindow& main, int32_t column, int32_t row, ModuleType type);
void PutCursor(MainWindow& main, int32_t column, int32_t row);
void Command(MainWindow& main, uint32_t id);  // WM_COMMAND, as a button or menu item sends it

void Click(QWidget* widget, QPoint at = QPoint(), Qt::MouseButton button = Qt::LeftButton);
// A key delivered where the keyboard focus is, as a user's key would be.
void PressKey(Qt::Key key, char text = 0, bool autoRepeat = false);
QAction* MenuAction(MainWindow& main, const QString& caption);

// Repaints the shell asked for during an action, and whether it refreshed the panel.
struct Effect {
  int32_t kept = 0, cleared = 0;
  bool refreshed = false;
  bool operator==(const Effect&) const = default;
};
inline constexpr Effect kNoEffect{}, kKeptOnly{1, 0, false}, kClearedOnly{0, 1, false};
inline constexpr Effect kKeptAndRefreshed{1, 0, true}, kClearedAndRefreshed{0, 1, true};
Effect Observe(const std::function<void()>& action);

// Answers every message box that opens while it lives and keeps what it said.
struct MessageBoxCatcher {
  struct Box { QString text, caption; QMessageBox::Icon icon; };
  MessageBoxCatcher();
  std::vector<Box> boxes;
  QTimer timer;
};

QImage PaintedClient(MainWindow& main);
inline uint32_t PixelAt(const QImage& image, int32_t x, int32_t y) { return image.pixel(x, y) & 0xFFFFFF; }

// The main of each suite: a QApplication (offscreen under CTest) and QtTest's runner.
#define VARNOTEK_GUI_TEST_MAIN(TestClass)     \
  int main(int argc, char** argv) {           \
    QApplication application(argc, argv);     \
    TestClass test;                           \
    return QTest::qExec(&test, argc, argv);   \
  }
