// What the GUI suites share: the one main window of the test process,
// started as the program starts it, ways to drive it with real Qt input, a
// catcher for modal message boxes, and what the adapter was asked to do.
#pragma once

#include <QImage>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "app/MainWindow.h"

QWidget* Widget(WindowHandle handle);
// The client area of the main window.
QWidget* Surface(MainWindow& main);

// Starts the editor once per process (window classes, engine, message
// boxes, main window, audio without a device) and returns it. The returned
// texts are the message boxes that start-up showed.
MainWindow& Editor(std::vector<QString>* startUpBoxes = nullptr);
// An empty patch, cursor at (0, 0), panel refreshed, repaint done.
MainWindow& FreshEditor();

// Places a module through the patch model and refreshes, a test seam for
// building a patch quickly; the tables' own tests use real input.
void Place(MainWindow& main, int32_t column, int32_t row, ModuleType type);
// Moves the cursor with the patch model (reaches cells where no module fits).
void PutCursor(MainWindow& main, int32_t column, int32_t row);

void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = QPoint());
void ClickClient(MainWindow& main, int32_t x, int32_t y, Qt::MouseButton button = Qt::LeftButton);
// A key press and release delivered where the keyboard focus is.
void PressKey(Qt::Key key, char text = 0);

// What the shell asked of the window after an action.
struct Effect {
  int32_t repaintsKept = 0;
  int32_t repaintsCleared = 0;
  bool refreshed = false;  // the panel refresh sets every caption and value text
  bool operator==(const Effect&) const = default;
};
inline constexpr Effect kNoEffect{};
inline constexpr Effect kKeptAndRefreshed{1, 0, true};
inline constexpr Effect kClearedAndRefreshed{0, 1, true};
inline constexpr Effect kClearedOnly{0, 1, false};
inline constexpr Effect kKeptOnly{1, 0, false};

struct ActivityMark {
  int32_t invalidations, erasing, texts;
};
ActivityMark MarkActivity();
Effect EffectSince(const ActivityMark& mark);

template <typename Action>
Effect Observe(Action action) {
  const ActivityMark mark = MarkActivity();
  action();
  return EffectSince(mark);
}

// Answers every message box that opens while it lives, and keeps what they said.
class MessageBoxCatcher {
 public:
  struct Box {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
  };
  MessageBoxCatcher();
  std::vector<Box> boxes;

 private:
  QTimer timer_;
};

// The client area as painted, at scale 1.
QImage PaintedClient(MainWindow& main);
// Colour of a client pixel as 0xRRGGBB.
uint32_t PixelAt(const QImage& image, int32_t x, int32_t y);
