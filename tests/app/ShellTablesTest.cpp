// The main window's tables, driven by real Qt input on the real window:
// keys, characters, commands (buttons, menu items, messages) and the mouse
// on the grid, each row with the repaint and refresh it must cause.
#include <QAction>
#include <QMenu>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

QString Caption(WindowHandle label) { return static_cast<QLabel*>(Widget(label))->text(); }

QAction* MenuAction(MainWindow& main, const char* caption) {
  for (QAction* action : Surface(main)->window()->findChildren<QAction*>()) {
    if (action->text() == caption && action->menu() == nullptr) return action;
  }
  return nullptr;
}

void Command(MainWindow& main, uint32_t id) { SendWindowMessage(main.window, kWmCommand, MakeLong(id, 0), 0); }

// An OSC at (0, 0) with output 0 chosen as wire source, and the OUT at (10, 0) selected.
void OscSourceAndOut(MainWindow& main) {
  Place(main, 0, 0, kOSC);
  Place(main, 10, 0, kOUT);
  main.area->BeginConnection(0);
  PutCursor(main, 10, 0);
}

// The same with input 1 of the OUT wired.
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
  void enterShowsItsBoxEveryTime();
  void characters();
  void commands();
  void mouseOnTheGrid();
  void menuBar();
};

void ShellTablesTest::keys() {
  struct Case {
    const char* name;
    int32_t fromX, fromY;
    Qt::Key key;
    bool autoRepeat;
    int32_t toX, toY;
    Effect effect;
  };
  const Case cases[] = {
      {"left", 5, 5, Qt::Key_Left, false, 4, 5, kKeptAndRefreshed},
      {"up", 5, 5, Qt::Key_Up, false, 5, 4, kKeptAndRefreshed},
      {"right", 5, 5, Qt::Key_Right, false, 6, 5, kKeptAndRefreshed},
      {"down", 5, 5, Qt::Key_Down, false, 5, 6, kKeptAndRefreshed},
      {"auto-repeated right", 5, 5, Qt::Key_Right, true, 6, 5, kKeptAndRefreshed},
      {"left at column 0", 0, 5, Qt::Key_Left, false, 0, 5, kNoEffect},
      {"up at row 0", 5, 0, Qt::Key_Up, false, 5, 0, kNoEffect},
      {"right at column 39", 39, 5, Qt::Key_Right, false, 39, 5, kNoEffect},
      {"down at row 23", 5, 23, Qt::Key_Down, false, 5, 23, kNoEffect},
      {"a letter", 5, 5, Qt::Key_A, false, 5, 5, kNoEffect},
      {"escape", 5, 5, Qt::Key_Escape, false, 5, 5, kNoEffect},
      {"tab", 5, 5, Qt::Key_Tab, false, 5, 5, kNoEffect},
      {"home", 5, 5, Qt::Key_Home, false, 5, 5, kNoEffect},
      {"F1", 5, 5, Qt::Key_F1, false, 5, 5, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    PutCursor(main, c.fromX, c.fromY);
    const Effect effect = Observe([&] {
      QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier, QString(), c.autoRepeat);
      QApplication::sendEvent(QApplication::focusWidget(), &press);
    });
    QVERIFY2(main.area->CursorX() == c.toX && main.area->CursorY() == c.toY, c.name);
    QVERIFY2(effect == c.effect, c.name);
  }
  // The refresh follows the cursor: onto an OSC's anchor the panel shows it.
  MainWindow& main = FreshEditor();
  Place(main, 1, 0, kOSC);
  PressKey(Qt::Key_Right);
  QCOMPARE(Caption(main.captions[0]), QString("Frequency"));
  PressKey(Qt::Key_Right);
  QCOMPARE(Caption(main.captions[0]), QString(""));
}

void ShellTablesTest::enterShowsItsBoxEveryTime() {
  MainWindow& main = FreshEditor();
  MessageBoxCatcher catcher;
  Effect effect = Observe([] { PressKey(Qt::Key_Return); });
  Place(main, 0, 0, kVCA);
  PressKey(Qt::Key_Enter);
  QCOMPARE(catcher.boxes.size(), size_t{2});
  for (const auto& box : catcher.boxes) {
    QCOMPARE(box.text, QString("Enter Key pressed"));
    QCOMPARE(box.caption, QString("Error"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
  }
  QVERIFY(effect == kNoEffect);
}

void ShellTablesTest::characters() {
  struct Case {
    char typed;
    int32_t cursorX;       // OSC at 0, OUT at 10, nothing at 20
    bool sourceChosen;     // output 0 of the OSC
    int32_t sourceOutput;  // chosen afterwards, -1 = none
    int32_t wiredInput;    // input of the module at the cursor recorded as wired, -1 = none
    Effect effect;
  };
  const Case cases[] = {
      {'1', 0, false, 0, -1, kClearedAndRefreshed},  {'5', 0, false, 4, -1, kClearedAndRefreshed},
      {'2', 0, false, -1, -1, kNoEffect},            {'3', 20, false, -1, -1, kNoEffect},
      {'6', 10, true, 0, 0, kClearedAndRefreshed},   {'7', 10, true, 0, 1, kClearedAndRefreshed},
      {'8', 10, true, 0, 2, kClearedAndRefreshed},   {'9', 10, true, 0, 3, kClearedAndRefreshed},
      {'0', 10, true, 0, 4, kClearedAndRefreshed},   {'0', 10, false, -1, -1, kNoEffect},
      {'6', 20, true, 0, -1, kNoEffect},             {'a', 10, true, 0, -1, kNoEffect},
      {'+', 10, true, 0, -1, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, kOSC);
    Place(main, 10, 0, kOUT);
    if (c.sourceChosen) main.area->BeginConnection(0);
    PutCursor(main, c.cursorX, 0);
    const QByteArray name = QByteArray("character ") + c.typed + " at column " + QByteArray::number(c.cursorX);
    const Qt::Key key = c.typed >= 'a' && c.typed <= 'z' ? Qt::Key(Qt::Key_A + (c.typed - 'a')) : Qt::Key(c.typed);
    const Effect effect = Observe([&] { PressKey(key, c.typed); });
    QVERIFY2(main.area->ConnectSourceOutput() == c.sourceOutput, name);
    for (int32_t input = 0; input < kModuleInputCount; ++input) {
      QVERIFY2(main.area->IsSelectedInputConnected(input) == (input == c.wiredInput ? 1 : 0), name);
    }
    QVERIFY2(effect == c.effect, name);
  }
}

void ShellTablesTest::commands() {
  using Step = void (*)(MainWindow&);
  using Check = bool (*)(MainWindow&);
  struct Case {
    const char* name;
    Step setup;
    Step act;
    Check check;
    Effect effect;
  };
  const Step nothing = [](MainWindow&) {};
  const Case cases[] = {
      {"OSC button on a free cell", nothing, [](MainWindow& m) { Click(Widget(m.moduleButtons[kOSC])); },
       [](MainWindow& m) { return m.area->GetSelectedType() == kOSC; }, kClearedAndRefreshed},
      {"xxx button deletes", [](MainWindow& m) { Place(m, 0, 0, kOSC); },
       [](MainWindow& m) { Click(Widget(m.moduleButtons[0])); },
       [](MainWindow& m) { return m.area->ModuleAt(0, 0) == nullptr; }, kClearedAndRefreshed},
      {"Edit, Delete", [](MainWindow& m) { Place(m, 0, 0, kOSC); },
       [](MainWindow& m) { MenuAction(m, "De&lete")->trigger(); },
       [](MainWindow& m) { return m.area->ModuleAt(0, 0) == nullptr; }, kClearedAndRefreshed},
      {"Audio Modules, OUT", nothing, [](MainWindow& m) { MenuAction(m, "OUT - Realtime audio Output")->trigger(); },
       [](MainWindow& m) { return m.area->GetSelectedType() == kOUT; }, kClearedAndRefreshed},
      {"a --- button only gives the focus back", nothing, [](MainWindow& m) { Click(Widget(m.moduleButtons[21])); },
       [](MainWindow& m) { return m.area->ModuleAt(0, 0) == nullptr; }, kNoEffect},
      {"Input wires the chosen source", OscSourceAndOut, [](MainWindow& m) { Click(Widget(m.inputButtons[2])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(2) == 1; }, kClearedAndRefreshed},
      {"Input without a source is refused", [](MainWindow& m) { Place(m, 0, 0, kOUT); },
       [](MainWindow& m) { Click(Widget(m.inputButtons[0])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(0) == 0; }, kNoEffect},
      {"X unwires", OscWiredToOut, [](MainWindow& m) { Click(Widget(m.disconnectButtons[1])); },
       [](MainWindow& m) { return m.area->IsSelectedInputConnected(1) == 0; }, kClearedAndRefreshed},
      {"Output chooses the source without a refresh", [](MainWindow& m) { Place(m, 0, 0, kOSC); },
       [](MainWindow& m) { Click(Widget(m.outputButtons[4])); },
       [](MainWindow& m) { return m.area->ConnectSourceOutput() == 4; }, kClearedOnly},
      {"Output the module lacks, by message", [](MainWindow& m) { Place(m, 0, 0, kOSC); },
       [](MainWindow& m) { Command(m, 833); }, [](MainWindow& m) { return m.area->ConnectSourceOutput() == -1; },
       kNoEffect},
      {"Edit / Show repaints nothing", [](MainWindow& m) { Place(m, 0, 0, kSEQ); },
       [](MainWindow& m) { Click(Widget(m.editShowButton)); },
       [](MainWindow& m) { return m.area->GetSelectedType() == kSEQ; }, kNoEffect},
      {"File, New sets the title again", [](MainWindow& m) { m.area->SetTitle("renamed"); },
       [](MainWindow& m) { MenuAction(m, "&New")->trigger(); },
       [](MainWindow& m) { return Surface(m)->window()->windowTitle() == QString::fromLatin1(m.area->title); },
       kClearedAndRefreshed},
      {"a greyed item's id, by message", nothing, [](MainWindow& m) { Command(m, 40006); },
       [](MainWindow& m) { return m.area->ModuleAt(0, 0) == nullptr; }, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    c.setup(main);
    const Effect effect = Observe([&] { c.act(main); });
    QVERIFY2(c.check(main), c.name);
    QVERIFY2(effect == c.effect, c.name);
    // Whatever was clicked, the next arrow key acts on the grid at once.
    QVERIFY2(QApplication::focusWidget() == Surface(main), c.name);
    const int32_t row = main.area->CursorY();
    PressKey(Qt::Key_Down);
    QVERIFY2(main.area->CursorY() == row + 1, c.name);
  }
}

void ShellTablesTest::mouseOnTheGrid() {
  struct Case {
    const char* name;
    Qt::MouseButton button;
    int32_t x, y;
    int32_t cursorX, cursorY;  // afterwards; the VCA starts at (10, 10) and selected
    int32_t vcaX, vcaY;
    Effect effect;
  };
  const Case cases[] = {
      {"left of the grid is column 0", Qt::LeftButton, 1, 20, 0, 0, 10, 10, kKeptAndRefreshed},
      {"x = 0 is column -1", Qt::LeftButton, 0, 20, 10, 10, 10, 10, kNoEffect},
      {"a covered cell selects the anchor", Qt::LeftButton, 16 + 16 * 12 + 5, 16 + 16 * 12 + 5, 10, 10, 10, 10,
       kKeptAndRefreshed},
      {"a free spot that overlaps the module", Qt::LeftButton, 16 + 16 * 8, 16 + 16 * 8, 10, 10, 10, 10, kNoEffect},
      {"a free spot that fits", Qt::LeftButton, 16 + 16 * 7, 16 + 16 * 7, 7, 7, 10, 10, kKeptAndRefreshed},
      {"right release moves the module", Qt::RightButton, 16 + 16 * 20, 16 + 16 * 5, 20, 5, 20, 5, kClearedOnly},
      {"right release where it does not fit", Qt::RightButton, 16 + 16 * 37, 16 + 16 * 5, 10, 10, 10, 10, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 10, 10, kVCA);
    PutCursor(main, 10, 10);
    const Effect effect = Observe([&] { ClickClient(main, c.x, c.y, c.button); });
    QVERIFY2(main.area->CursorX() == c.cursorX && main.area->CursorY() == c.cursorY, c.name);
    QVERIFY2(main.area->ModuleAt(c.vcaX, c.vcaY) != nullptr, c.name);
    QVERIFY2(effect == c.effect, c.name);
  }
}

void ShellTablesTest::menuBar() {
  MainWindow& main = FreshEditor();
  QMenuBar* bar = static_cast<QMainWindow*>(Surface(main)->window())->menuBar();
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  QCOMPARE(titles, QStringList({"&File", "&Edit", "&Basic Modules", "&Controller Modules", "&Audio Modules",
                                "&Special Modules", "&Options", "&Windows"}));
  auto* corner = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
  QVERIFY(corner != nullptr);
  QCOMPARE(corner->actions().size(), 1);
  QCOMPARE(corner->actions()[0]->text(), QString("&Help"));
  // On a free cell the module items are enabled, the greyed ones stay greyed.
  QVERIFY(MenuAction(main, "OSC - Multifunction Oscilator")->isEnabled());
  QVERIFY(!MenuAction(main, "&Insert Patch")->isEnabled());
  QVERIFY(!MenuAction(main, "About Varnotek")->isEnabled());
  QVERIFY(MenuAction(main, "E&xit program")->isEnabled());
}

VARNOTEK_GUI_TEST_MAIN(ShellTablesTest)
#include "ShellTablesTest.moc"
