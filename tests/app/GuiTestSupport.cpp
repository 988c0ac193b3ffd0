#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "app/StartUp.h"
#include "platform/qt/QtProbe.h"

QWidget* Widget(WindowHandle handle) { return static_cast<QWidget*>(handle); }
QWidget* Surface(MainWindow& main) { return Widget(main.window); }
QString Text(WindowHandle control) {
  if (auto* label = qobject_cast<QLabel*>(Widget(control))) return label->text();
  return static_cast<QAbstractButton*>(Widget(control))->text();
}
QString WindowTitle(MainWindow& main) { return Surface(main)->window()->windowTitle(); }

MainWindow& Editor(std::vector<QString>* startUpBoxes) {
  static MainWindow* main = nullptr;
  static std::vector<QString> shown;
  if (main == nullptr) {
    static int argc = 1;
    static char name[] = "varnotek-test";
    static char* argv[] = {name, nullptr};
    InitWindowSystem(argc, argv);
    MessageBoxCatcher catcher;
    main = StartEditor();
    for (const auto& box : catcher.boxes) shown.push_back(box.text);
    (void)QTest::qWaitForWindowExposed(Surface(*main)->window());
  }
  if (startUpBoxes != nullptr) *startUpBoxes = shown;
  return *main;
}

MainWindow& FreshEditor() {
  MainWindow& main = Editor();
  main.area->Clear();
  main.RefreshControlPanel();
  main.FocusBack();
  QApplication::processEvents();
  return main;
}

void Place(MainWindow& main, int32_t column, int32_t row, ModuleType type) {
  main.area->SetModuleAt(column, row, type);
  main.RefreshControlPanel();
}

void PutCursor(MainWindow& main, int32_t column, int32_t row) {
  PatchArea& area = *main.area;
  while ((area.CursorX() > column && area.CursorLeft()) || (area.CursorX() < column && area.CursorRight())) {}
  while ((area.CursorY() > row && area.CursorUp()) || (area.CursorY() < row && area.CursorDown())) {}
  main.RefreshControlPanel();
}

void Command(MainWindow& main, uint32_t id) { SendWindowMessage(main.window, kWmCommand, id, 0); }

void Click(QWidget* widget, QPoint at, Qt::MouseButton button) { QTest::mouseClick(widget, button, {}, at); }

void PressKey(Qt::Key key, char text, bool autoRepeat) {
  QWidget* target = QApplication::focusWidget();
  QVERIFY2(target != nullptr, "no widget has the keyboard focus");
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text ? QString(QChar(text)) : QString(), autoRepeat);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text ? QString(QChar(text)) : QString(), autoRepeat);
  QApplication::sendEvent(target, &press);
  QApplication::sendEvent(target, &release);
}

QAction* MenuAction(MainWindow& main, const QString& caption) {
  for (QAction* action : Surface(main)->window()->findChildren<QAction*>()) {
    if (action->text() == caption && action->menu() == nullptr) return action;
  }
  return nullptr;
}

Effect Observe(const std::function<void()>& action) {
  QApplication::processEvents();
  const QtWindowActivity before = QtActivity();
  action();
  QApplication::processEvents();
  const QtWindowActivity& after = QtActivity();
  const int32_t cleared = after.erasingInvalidations - before.erasingInvalidations;
  // A refresh sets 17 texts (captions, value labels, Output buttons); a scroll sets one.
  return {after.invalidations - before.invalidations - cleared, cleared, after.textsSet - before.textsSet >= 17};
}

MessageBoxCatcher::MessageBoxCatcher() {
  QObject::connect(&timer, &QTimer::timeout, [this] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (box == nullptr || !box->isVisible()) continue;
      boxes.push_back({box->text(), box->windowTitle(), box->icon()});
      box->button(QMessageBox::Ok)->click();
    }
  });
  timer.start(5);
}

QImage PaintedClient(MainWindow& main) {
  QApplication::processEvents();
  return Surface(main)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
