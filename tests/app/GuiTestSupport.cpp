#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include "app/StartUp.h"
#include "platform/qt/QtProbe.h"

QWidget* Widget(WindowHandle handle) { return static_cast<QWidget*>(handle); }
QWidget* Surface(MainWindow& main) { return Widget(main.window); }

MainWindow& Editor(std::vector<QString>* startUpBoxes) {
  static MainWindow* main = nullptr;
  static std::vector<QString> shown;
  if (main == nullptr) {
    int argc = 1;
    static char name[] = "varnotek-test";
    static char* argv[] = {name, nullptr};
    InitWindowSystem(argc, argv);
    MessageBoxCatcher catcher;
    main = StartEditor();
    for (const auto& box : catcher.boxes) shown.push_back(box.text);
    QWidget* frame = Surface(*main)->window();
    frame->activateWindow();
    (void)QTest::qWaitForWindowExposed(frame);
  }
  if (startUpBoxes != nullptr) *startUpBoxes = shown;
  return *main;
}

MainWindow& FreshEditor() {
  MainWindow& main = Editor();
  main.area->Clear();
  main.RefreshControlPanel();
  main.FocusBack();
  main.Invalidate(true);
  QApplication::processEvents();
  return main;
}

void Place(MainWindow& main, int32_t column, int32_t row, ModuleType type) {
  main.area->SetModuleAt(column, row, type);
  main.RefreshControlPanel();
}

void PutCursor(MainWindow& main, int32_t column, int32_t row) {
  while (main.area->CursorX() > column && main.area->CursorLeft()) {}
  while (main.area->CursorX() < column && main.area->CursorRight()) {}
  while (main.area->CursorY() > row && main.area->CursorUp()) {}
  while (main.area->CursorY() < row && main.area->CursorDown()) {}
  main.RefreshControlPanel();
}

void Click(QWidget* widget, Qt::MouseButton button, QPoint at) { QTest::mouseClick(widget, button, {}, at); }

void ClickClient(MainWindow& main, int32_t x, int32_t y, Qt::MouseButton button) {
  QTest::mouseClick(Surface(main), button, {}, QPoint(x, y));
}

void PressKey(Qt::Key key, char text) {
  QWidget* target = QApplication::focusWidget();
  QVERIFY2(target != nullptr, "no widget has the keyboard focus");
  if (text != 0) {
    QTest::sendKeyEvent(QTest::Click, target, key, text, {});
  } else {
    QTest::keyClick(target, key);
  }
}

ActivityMark MarkActivity() {
  QApplication::processEvents();
  const QtWindowActivity& activity = QtActivity();
  return {activity.invalidations, activity.erasingInvalidations, activity.textsSet};
}

Effect EffectSince(const ActivityMark& mark) {
  const ActivityMark now = MarkActivity();
  const int32_t erasing = now.erasing - mark.erasing;
  // Captions, value labels and Output texts: 17 texts per refresh; a scroll sets one.
  return {now.invalidations - mark.invalidations - erasing, erasing, now.texts - mark.texts >= 17};
}

MessageBoxCatcher::MessageBoxCatcher() {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (box == nullptr || !box->isVisible()) continue;
      boxes.push_back({box->text(), box->windowTitle(), box->icon()});
      box->button(QMessageBox::Ok)->click();
    }
  });
  timer_.start();
}

QImage PaintedClient(MainWindow& main) {
  QApplication::processEvents();
  return Surface(main)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

uint32_t PixelAt(const QImage& image, int32_t x, int32_t y) { return image.pixel(x, y) & 0xFFFFFF; }
