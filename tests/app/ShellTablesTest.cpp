// The main window's tables driven by real Qt input on the real window: keys,
// characters, commands (buttons, menu items, messages) and the mouse on the
// grid, each row with the repaint and refresh it must cause.
#include <algorithm>
#include <cstdlib>

#include "dsp/RenderBuffer.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;
using Step = void (*)(MainWindow&);

// The type at the cursor, the wire source's output, the selected module's
// wired inputs, and "window" while it has its edit window.
QString State(MainWindow& m) {
  QString wired;
  for (int32_t k = 0; k < kModuleInputCount; ++k) wired += m.area->IsSelectedInputConnected(k) == 1 ? QChar('0' + k) : '-';
  const BlockModule* selected = m.area->SelectedModule();
  const bool window = selected != nullptr && selected->editWindow != nullptr;
  return QString("%1 %2 %3%4").arg(TypeName(m.area->GetSelectedType())).arg(m.area->ConnectSourceOutput()).arg(wired, window ? " window" : "");
}

// An OSC at (0, 0), the OUT at (10, 0), the OSC's output 0 chosen as wire source unless `chosen` is false.
void OscAndOut(MainWindow& main, int32_t cursorX, bool chosen = true) {
  Place(main, 0, 0, kOSC);
  Place(main, 10, 0, kOUT);
  if (chosen) main.area->BeginConnection(0);
  PutCursor(main, cursorX, 0);
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
  void roadOfOneEditSounds();
};

// The arrows move the cursor; Enter shows its box every time, whatever is
// selected, and nothing else; other keys do nothing.
void ShellTablesTest::keys() {
  struct Case { int32_t fromX, fromY; Qt::Key key; bool autoRepeat; int32_t toX, toY; Effect effect; size_t boxes; };
  const Case cases[] = {
      {5, 5, Qt::Key_Left, false, 4, 5, kKeptAndRefreshed, 0},  {5, 5, Qt::Key_Up, false, 5, 4, kKeptAndRefreshed, 0},
      {5, 5, Qt::Key_Right, true, 6, 5, kKeptAndRefreshed, 0},  {5, 5, Qt::Key_Down, false, 5, 6, kKeptAndRefreshed, 0},
      {0, 5, Qt::Key_Left, false, 0, 5, kNoEffect, 0},          {5, 23, Qt::Key_Down, false, 5, 23, kNoEffect, 0},
      {5, 5, Qt::Key_A, false, 5, 5, kNoEffect, 0},             {5, 5, Qt::Key_Escape, false, 5, 5, kNoEffect, 0},
      {5, 5, Qt::Key_Return, false, 5, 5, kNoEffect, 1},        {0, 0, Qt::Key_Enter, false, 0, 0, kNoEffect, 1},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, kOSC);
    PutCursor(main, c.fromX, c.fromY);
    MessageBoxCatcher catcher;
    const char text = c.key == Qt::Key_Return || c.key == Qt::Key_Enter ? '\r' : 0;
    const Effect effect = Observe([&] { PressKey(c.key, text, c.autoRepeat); });
    const QByteArray name = "key " + QByteArray::number(c.key, 16) + " at " + QByteArray::number(c.fromX);
    QVERIFY2(main.area->CursorX() == c.toX && main.area->CursorY() == c.toY && effect == c.effect, name);
    QVERIFY2(catcher.boxes.size() == c.boxes && (c.boxes == 0 || catcher.boxes[0].text == "Enter Key pressed"), name);
  }
}

// Digits 1..5 choose the wire source's output, 6..9 and 0 wire an input to it.
void ShellTablesTest::characters() {
  struct Case { char typed; int32_t cursorX; bool sourceChosen; const char* state; Effect effect; };
  const Case cases[] = {
      {'1', 0, false, "OSC 0 -----", kClearedAndRefreshed}, {'5', 0, false, "OSC 4 -----", kClearedAndRefreshed},
      {'2', 0, false, "OSC -1 -----", kNoEffect},           {'6', 10, true, "OUT 0 0----", kClearedAndRefreshed},
      {'9', 10, true, "OUT 0 ---3-", kClearedAndRefreshed}, {'0', 10, true, "OUT 0 ----4", kClearedAndRefreshed},
      {'a', 10, true, "OUT 0 -----", kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    OscAndOut(main, c.cursorX, c.sourceChosen);
    const Effect effect = Observe([&] { PressKey(c.typed == 'a' ? Qt::Key_A : Qt::Key(c.typed), c.typed); });
    QVERIFY2(State(main) == c.state && effect == c.effect, QByteArray(1, c.typed));
  }
}

void ShellTablesTest::commands() {
  struct Case { const char* name; Step setup, act; const char* state; Effect effect; };
  const Step none = [](MainWindow&) {};
  const Step osc = [](MainWindow& m) { Place(m, 0, 0, kOSC); };
  const Case cases[] = {
      {"OSC button", none, [](MainWindow& m) { Click(Widget(m.moduleButtons[kOSC])); }, "OSC -1 -----", kClearedAndRefreshed},
      {"xxx button", osc, [](MainWindow& m) { Click(Widget(m.moduleButtons[0])); }, "xxx -1 -----", kClearedAndRefreshed},
      {"Audio Modules, OUT", none, [](MainWindow& m) { MenuAction(m, "OUT - Realtime audio Output")->trigger(); },
       "OUT -1 -----", kClearedAndRefreshed},
      {"a --- button", none, [](MainWindow& m) { Click(Widget(m.moduleButtons[21])); }, "xxx -1 -----", kNoEffect},
      {"Input", [](MainWindow& m) { OscAndOut(m, 10); }, [](MainWindow& m) { Click(Widget(m.inputButtons[2])); },
       "OUT 0 --2--", kClearedAndRefreshed},
      {"X", [](MainWindow& m) { OscAndOut(m, 10); m.area->CompleteConnection(0); m.RefreshControlPanel(); },
       [](MainWindow& m) { Click(Widget(m.disconnectButtons[0])); }, "OUT 0 -----", kClearedAndRefreshed},
      {"Output, no refresh", osc, [](MainWindow& m) { Click(Widget(m.outputButtons[4])); }, "OSC 4 -----", kClearedOnly},
      {"an Output the module lacks", osc, [](MainWindow& m) { Command(m, 833); }, "OSC -1 -----", kNoEffect},
      // The offscreen platform activates every window it shows, later, where
      // a window manager leaves the focus with the main window; the focus is
      // given back once more after that, as the shell gave it.
      {"Edit / Show", [](MainWindow& m) { Place(m, 0, 0, kSEQ); },
       [](MainWindow& m) { Click(Widget(m.editShowButton)); QApplication::processEvents(); m.FocusBack(); },
       "SEQ -1 ----- window", kNoEffect},
      {"File, New", osc, [](MainWindow& m) { MenuAction(m, "&New")->trigger(); }, "xxx -1 -----", kClearedAndRefreshed},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    c.setup(main);
    const Effect effect = Observe([&] { c.act(main); });
    QVERIFY2(State(main) == c.state && effect == c.effect, c.name);
    // Whatever was clicked, the next arrow key acts on the grid at once.
    const int32_t row = main.area->CursorY();
    PressKey(Qt::Key_Down);
    QVERIFY2(QApplication::focusWidget() == Surface(main) && main.area->CursorY() == row + 1, c.name);
  }
}

// A left click selects the cell under it, a right click moves the selected
// module there; a click that changes nothing causes nothing.
void ShellTablesTest::mouseOnTheGrid() {
  struct Case { Qt::MouseButton button; int32_t x, y, cursorX, cursorY, vcaX, vcaY; Effect effect; };
  const auto at = [](int32_t cell) { return 16 + 16 * cell; };  // the VCA starts at (10, 10), selected
  const Case cases[] = {
      {Qt::LeftButton, 1, 20, 0, 0, 10, 10, kKeptAndRefreshed},  // left of the grid is column 0
      {Qt::LeftButton, 0, 20, 10, 10, 10, 10, kNoEffect},        // x = 0 is column -1
      {Qt::LeftButton, at(7), at(7) + 15, 7, 7, 10, 10, kKeptAndRefreshed},
      {Qt::RightButton, at(20) + 15, at(5), 20, 5, 20, 5, kClearedOnly},
      {Qt::RightButton, at(37), at(5), 10, 10, 10, 10, kNoEffect},  // it would reach past the grid
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

// An OSC and an OUT placed with the buttons stay silent until keys wire
// them; then the next frames carry the sine on both channels. (Without a
// sound device nothing else renders, so the test runs the render loop.)
void ShellTablesTest::roadOfOneEditSounds() {
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
  MainWindow& main = FreshEditor();
  Click(Widget(main.moduleButtons[kOSC]));
  PutCursor(main, 10, 0);
  Click(Widget(main.moduleButtons[kOUT]));
  QCOMPARE(loudest(), 0);
  PutCursor(main, 0, 0);
  PressKey(Qt::Key_1, '1');
  PutCursor(main, 10, 0);
  PressKey(Qt::Key_8, '8');
  QVERIFY2(loudest() > 1000, "the wired OSC does not reach the output");
}

VARNOTEK_GUI_TEST_MAIN(ShellTablesTest)
#include "ShellTablesTest.moc"
