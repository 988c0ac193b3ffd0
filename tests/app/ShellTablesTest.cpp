// The main window's tables driven by real Qt input on the real window: keys,
// characters, commands (buttons, menu items, messages) and the mouse on the
// grid, each row with the repaint and refresh it must cause.
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <algorithm>
#include <cstdlib>

#include "dsp/RenderBuffer.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;
using Step = void (*)(MainWindow&);

QString Caption(MainWindow& main, int32_t row) { return static_cast<QLabel*>(Widget(main.captions[row]))->text(); }
void Command(MainWindow& main, uint32_t id) { SendWindowMessage(main.window, kWmCommand, id, 0); }

// An OSC at (0, 0) whose output 0 is the wire source, and the OUT at (10, 0) selected.
void OscSourceAndOut(MainWindow& main) {
  Place(main, 0, 0, kOSC);
  Place(main, 10, 0, kOUT);
  main.area->BeginConnection(0);
  PutCursor(main, 10, 0);
}
void OscWiredToOut(MainWindow& main) {
  OscSourceAndOut(main);
  main.area->CompleteConnection(1);
  main.RefreshControlPanel();
}

}  // namespace

class ShellTablesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void keys();
  void characters();
  void commands();
  void mouseOnTheGrid();
  void helpAtTheRightEnd();
  void roadOfOneEditSounds();
};

void ShellTablesTest::keys() {
  struct Case {
    int32_t fromX, fromY;
    Qt::Key key;
    bool autoRepeat;
    int32_t toX, toY;
    Effect effect;
  };
  const Case cases[] = {
      {5, 5, Qt::Key_Left, false, 4, 5, kKeptAndRefreshed},  {5, 5, Qt::Key_Up, false, 5, 4, kKeptAndRefreshed},
      {5, 5, Qt::Key_Right, false, 6, 5, kKeptAndRefreshed}, {5, 5, Qt::Key_Down, false, 5, 6, kKeptAndRefreshed},
      {5, 5, Qt::Key_Right, true, 6, 5, kKeptAndRefreshed},  {0, 5, Qt::Key_Left, false, 0, 5, kNoEffect},
      {5, 0, Qt::Key_Up, false, 5, 0, kNoEffect},            {39, 5, Qt::Key_Right, false, 39, 5, kNoEffect},
      {5, 23, Qt::Key_Down, false, 5, 23, kNoEffect},        {5, 5, Qt::Key_A, false, 5, 5, kNoEffect},
      {5, 5, Qt::Key_Escape, false, 5, 5, kNoEffect},        {5, 5, Qt::Key_Tab, false, 5, 5, kNoEffect},
      {5, 5, Qt::Key_F1, false, 5, 5, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    PutCursor(main, c.fromX, c.fromY);
    const Effect effect = Observe([&] { PressKey(c.key, 0, c.autoRepeat); });
    const QByteArray name = "key " + QByteArray::number(c.key, 16) + " at " + QByteArray::number(c.fromX);
    QVERIFY2(main.area->CursorX() == c.toX && main.area->CursorY() == c.toY && effect == c.effect, name);
  }
  // The refresh follows the cursor onto and off an OSC's anchor.
  MainWindow& main = FreshEditor();
  Place(main, 1, 0, kOSC);
  PressKey(Qt::Key_Right);
  QCOMPARE(Caption(main, 0), QString("Frequency"));
  PressKey(Qt::Key_Right);
  QCOMPARE(Caption(main, 0), QString(""));
  // Enter shows its box every time, whatever is selected, and nothing else.
  MessageBoxCatcher catcher;
  QCOMPARE(Observe([] { PressKey(Qt::Key_Return, '\r'); }), kNoEffect);
  PutCursor(main, 1, 0);
  PressKey(Qt::Key_Enter, '\r');
  QCOMPARE(catcher.boxes.size(), size_t{2});
  for (const auto& box : catcher.boxes) {
    QVERIFY(box.text == "Enter Key pressed" && box.caption == "Error" && box.icon == QMessageBox::NoIcon);
  }
}

void ShellTablesTest::characters() {
  struct Case {
    char typed;
    int32_t cursorX;        // OSC at 0, OUT at 10, nothing at 20
    bool sourceChosen;      // output 0 of the OSC, beforehand
    int32_t sourceOutput;   // afterwards, -1 = none
    int32_t wiredInput;     // of the module at the cursor, -1 = none
    Effect effect;
  };
  const Case cases[] = {
      {'1', 0, false, 0, -1, kClearedAndRefreshed}, {'5', 0, false, 4, -1, kClearedAndRefreshed},
      {'2', 0, false, -1, -1, kNoEffect},           {'3', 20, false, -1, -1, kNoEffect},
      {'6', 10, true, 0, 0, kClearedAndRefreshed},  {'7', 10, true, 0, 1, kClearedAndRefreshed},
      {'8', 10, true, 0, 2, kClearedAndRefreshed},  {'9', 10, true, 0, 3, kClearedAndRefreshed},
      {'0', 10, true, 0, 4, kClearedAndRefreshed},  {'0', 10, false, -1, -1, kNoEffect},
      {'6', 20, true, 0, -1, kNoEffect},            {'a', 10, true, 0, -1, kNoEffect},
      {'+', 10, true, 0, -1, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, kOSC);
    Place(main, 10, 0, kOUT);
    if (c.sourceChosen) main.area->BeginConnection(0);
    PutCursor(main, c.cursorX, 0);
    const Qt::Key key = c.typed == 'a' ? Qt::Key_A : Qt::Key(c.typed);
    const Effect effect = Observe([&] { PressKey(key, c.typed); });
    const QByteArray name = QByteArray("character ") + c.typed + " at column " + QByteArray::number(c.cursorX);
    QVERIFY2(main.area->ConnectSourceOutput() == c.sourceOutput && effect == c.effect, name);
    for (int32_t input = 0; input < kModuleInputCount; ++input) {
      QVERIFY2(main.area->IsSelectedInputConnected(input) == (input == c.wiredInput), name);
    }
  }
}

void ShellTablesTest::commands() {
  struct Case {
    const char* name;
    Step setup, act;
    bool (*check)(MainWindow&);
    Effect effect;
  };
  const Step none = [](MainWindow&) {};
  const Step osc = [](MainWindow& m) { Place(m, 0, 0, kOSC); };
  const auto freeCell = [](MainWindow& m) { return m.area->ModuleAt(0, 0) == nullptr; };
  const Case cases[] = {
      {"OSC button", none, [](MainWindow& m) { Click(Widget(m.moduleButtons[kOSC])); },
       [](MainWindow& m) { return m.area->GetSelectedType() == kOSC; }, kClearedAndRefreshed},
      {"xxx button", osc, [](MainWindow& m) { Click(Widget(m.moduleButtons[0])); }, freeCell, kClearedAndRefreshed},
      {"Edit, Delete", osc, [](MainWindow& m) { MenuAction(m, "De&lete")->trigger(); }, freeCell,
       kClearedAndRefreshed},
      {"Audio Modules, OUT", none, [](MainWindow& m) { MenuAction(m, "OUT - Realtime audio Output")->trigger(); },
       [](MainWindow& m) { return m.area->GetSelectedType() == kOUT; }, kClearedAndRefreshed},
      {"a --- button", none, [](MainWindow& m) { Click(Widget(m.moduleButtons[21])); }, freeCell, kNoEffect},
      {"Input", OscSourceAndOut, [](MainWindow& m) { Click(Widget(m.inputButtons[2])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(2) == 1; }, kClearedAndRefreshed},
      {"Input without a source", [](MainWindow& m) { Place(m, 0, 0, kOUT); },
       [](MainWindow& m) { Click(Widget(m.inputButtons[0])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(0) == 0; }, kNoEffect},
      {"X", OscWiredToOut, [](MainWindow& m) { Click(Widget(m.disconnectButtons[1])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(1) == 0; }, kClearedAndRefreshed},
      {"Output, no refresh", osc, [](MainWindow& m) { Click(Widget(m.outputButtons[4])); },
       [](MainWindow& m) { return m.area->ConnectSourceOutput() == 4; }, kClearedOnly},
      {"an Output the module lacks", osc, [](MainWindow& m) { Command(m, 833); },
       [](MainWindow& m) { return m.area->ConnectSourceOutput() == -1; }, kNoEffect},
      // The offscreen platform activates every window it shows, later, where
      // a window manager leaves the focus with the main window; the focus is
      // given back once more after that, as the shell gave it.
      {"Edit / Show", [](MainWindow& m) { Place(m, 0, 0, kSEQ); },
       [](MainWindow& m) {
         Click(Widget(m.editShowButton));
         QApplication::processEvents();
         m.FocusBack();
       },
       [](MainWindow& m) { return m.area->SelectedModule()->editWindow != nullptr; }, kNoEffect},
      {"File, New", [](MainWindow& m) { m.area->SetTitle("renamed"); },
       [](MainWindow& m) { MenuAction(m, "&New")->trigger(); },
       [](MainWindow& m) { return Surface(m)->window()->windowTitle() == m.area->title; }, kClearedAndRefreshed},
      {"a greyed item's id", none, [](MainWindow& m) { Command(m, 40006); }, freeCell, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    c.setup(main);
    const Effect effect = Observe([&] { c.act(main); });
    QVERIFY2(c.check(main) && effect == c.effect, c.name);
    // Whatever was clicked, the next arrow key acts on the grid at once.
    const int32_t row = main.area->CursorY();
    PressKey(Qt::Key_Down);
    QVERIFY2(QApplication::focusWidget() == Surface(main) && main.area->CursorY() == row + 1, c.name);
  }
}

void ShellTablesTest::mouseOnTheGrid() {
  struct Case {
    Qt::MouseButton button;
    int32_t x, y;
    int32_t cursorX, cursorY, vcaX, vcaY;  // afterwards; the VCA starts at (10, 10), selected
    Effect effect;
  };
  const auto at = [](int32_t cell) { return 16 + 16 * cell; };
  const Case cases[] = {
      {Qt::LeftButton, 1, 20, 0, 0, 10, 10, kKeptAndRefreshed},  // left of the grid is column 0
      {Qt::LeftButton, 0, 20, 10, 10, 10, 10, kNoEffect},        // x = 0 is column -1
      {Qt::LeftButton, at(12) + 5, at(12) + 5, 10, 10, 10, 10, kKeptAndRefreshed},
      {Qt::LeftButton, at(8), at(8), 10, 10, 10, 10, kNoEffect},  // its square would cover the VCA
      {Qt::LeftButton, at(7), at(7), 7, 7, 10, 10, kKeptAndRefreshed},
      {Qt::RightButton, at(20), at(5), 20, 5, 20, 5, kClearedOnly},
      {Qt::RightButton, at(37), at(5), 10, 10, 10, 10, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 10, 10, kVCA);
    PutCursor(main, 10, 10);
    const Effect effect = Observe([&] { Click(Surface(main), QPoint(c.x, c.y), c.button); });
    const QByteArray name = QByteArray::number(c.x) + "," + QByteArray::number(c.y);
    QVERIFY2(main.area->CursorX() == c.cursorX && main.area->CursorY() == c.cursorY && effect == c.effect, name);
    QVERIFY2(main.area->ModuleAt(c.vcaX, c.vcaY) != nullptr, name);
  }
}

void ShellTablesTest::helpAtTheRightEnd() {
  QMenuBar* bar = static_cast<QMainWindow*>(Surface(Editor())->window())->menuBar();
  auto* corner = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
  QVERIFY(corner != nullptr && corner->actions().size() == 1);
  QCOMPARE(corner->actions()[0]->text(), QString("&Help"));
  QCOMPARE(bar->actions().size(), 8);
}

// An OSC and an OUT placed with the buttons stay silent until keys wire
// them; then the next frames carry the sine on both channels. (Without a
// sound device nothing else renders, so the test runs the render loop.)
void ShellTablesTest::roadOfOneEditSounds() {
  MainWindow& main = FreshEditor();
  const auto loudest = [] {
    static int16_t frames[2 * kFramesPerBuffer];
    RenderBuffer(frames);
    int32_t peak = 0;
    for (int32_t i = 0; i < kFramesPerBuffer; ++i) {
      if (frames[2 * i] != frames[2 * i + 1]) return -1;  // the centre input feeds both sides alike
      peak = std::max(peak, std::abs(int32_t{frames[2 * i]}));
    }
    return peak;
  };
  const auto press = [](int32_t cells, Qt::Key key) { for (int32_t i = 0; i < cells; ++i) PressKey(key); };
  Click(Widget(main.moduleButtons[kOSC]));
  press(10, Qt::Key_Right);
  Click(Widget(main.moduleButtons[kOUT]));
  QCOMPARE(loudest(), 0);
  press(10, Qt::Key_Left);
  PressKey(Qt::Key_1, '1');
  press(10, Qt::Key_Right);
  PressKey(Qt::Key_8, '8');
  QCOMPARE(main.area->IsSelectedInputConnected(2), 1);
  QVERIFY2(loudest() > 1000, "the wired OSC does not reach the output");
}

VARNOTEK_GUI_TEST_MAIN(ShellTablesTest)
#include "ShellTablesTest.moc"
