// The main window driven by real Qt input: keys, characters, clicks on the
// grid, panel buttons, menu items and commands in one table, each row with
// the repaint and refresh it must cause; the control panel (start-up state,
// enabling rules, mode selector); and the painted patch area and mode
// selector, checked by pixels at known client coordinates (never text
// pixels, which depend on the fonts).
#include <QMenu>

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;
using Step = void (*)(MainWindow&);

// The cursor, the type there, the wire source's output, the selected module's
// wired inputs, and "window" while it has its edit window.
QString State(MainWindow& m) {
  PatchArea& a = *m.area;
  QString state = QString("%1,%2 %3 %4 ").arg(a.CursorX()).arg(a.CursorY()).arg(TypeName(a.GetSelectedType())).arg(a.ConnectSourceOutput());
  for (int32_t k = 0; k < kModuleInputCount; ++k) state += a.IsSelectedInputConnected(k) == 1 ? QChar('0' + k) : '-';
  return state + (a.SelectedModule() != nullptr && a.SelectedModule()->editWindow != nullptr ? " window" : "");
}

// What a row does: key a with text b (auto-repeated for Repeat), delivered
// where the keyboard focus is, as a user's key would be; a click of that
// mouse button at (a, b); a click on the panel button with id a; the menu
// item with id a chosen; or command a sent as a message.
enum Kind { Key, Repeat, Left, Right, Button, Menu, Message };
void Send(MainWindow& main, Kind kind, int32_t a, int32_t b) {
  QWidget* focus = kind == Key || kind == Repeat ? QApplication::focusWidget() : nullptr;
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, a, Qt::NoModifier, b ? QString(QChar(b)) : QString(), kind == Repeat);
    if (focus != nullptr) QApplication::sendEvent(focus, &event);
  }
  if (kind == Left || kind == Right) Click(Surface(main), QPoint(a, b), kind == Left ? Qt::LeftButton : Qt::RightButton);
  if (kind == Message) Command(main, a);
  for (QAction* action : Surface(main)->window()->findChildren<QAction*>()) {
    if (kind == Menu && action->property("varnotekCommand").toInt() == a && action->menu() == nullptr) action->trigger();
  }
  // On Win32 a clicked button keeps the keyboard focus until the shell takes
  // it back; Qt's controls never take it, so it is put there.
  if (auto* button = kind == Button ? ControlWithId<QAbstractButton>(main.window, a) : nullptr) button->setFocus(), Click(button);
  // The offscreen platform activates every window it shows, later, where a
  // window manager leaves the focus with the main window; the focus is given
  // back once more after that, as the shell gave it.
  if (kind == Button && a == 511) QApplication::processEvents(), main.FocusBack();
}

// Output `output` of the module at (fromX, 0) wired to input `input` of the one at (toX, 0).
void Wire(MainWindow& m, int32_t fromX, int32_t output, int32_t toX, int32_t input) {
  PutCursor(m, fromX, 0), m.area->BeginConnection(output), PutCursor(m, toX, 0), m.area->CompleteConnection(input);
}

bool On(WindowHandle control) { return Widget(control)->isEnabled(); }

// The panel in one line: per module type '+' where its button is offered,
// '.' where not; the same for the menu items, with ' ' where a type has
// none; '+' or '.' for each controller bar, Input, X and Output button and
// Edit / Show; then the captions, value labels and Output buttons' texts.
QString Panel(MainWindow& m) {
  QString panel(kModuleTypeCount, ' '), menu(kModuleTypeCount, ' ');
  for (int32_t type = 0; type < kModuleTypeCount; ++type) panel[type] = On(m.moduleButtons[type]) ? '+' : '.';
  for (QAction* action : Surface(m)->window()->findChildren<QAction*>()) {
    const int type = action->property("varnotekCommand").toInt() - kModuleCommandBase;
    if (type >= 0 && type < kModuleTypeCount && action->menu() == nullptr) menu[type] = action->isEnabled() ? '+' : '.';
  }
  panel += ' ' + menu;
  const auto add = [&](const WindowHandle* controls, int32_t count, bool texts) {
    for (int32_t i = 0; i < count; ++i) panel += (i == 0 ? " " : "") + (texts ? Text(controls[i]) + '|' : On(controls[i]) ? "+" : ".");
  };
  add(m.controllerBars, kPanelRows, false), add(m.inputButtons, kPanelInputs, false), add(m.disconnectButtons, kPanelInputs, false);
  add(m.outputButtons, kPanelInputs, false), add(&m.editShowButton, 1, false);
  add(m.captions, kPanelRows, true), add(m.valueLabels, kPanelRows, true), add(m.outputButtons, kPanelInputs, true);
  return panel;
}

// Colours: white, light grey, dark grey, black, green, red, yellow and dark red.
constexpr uint32_t W = 0xFFFFFF, G = 0xC0C0C0, D = 0x404040, B = 0x000000, L = 0x80FF40, R = 0xFF4040, Y = 0xFFFF00, M = 0x800000;

struct Probe { int32_t x, y; uint32_t colour; };

// An OSC at 0, a VCA at 10 and an OUT at 20 (row 0), wired OSC -> VCA -> OUT
// and OSC output 4 -> OUT input 4, with an ADD at (30, 10) whose output 0 is
// the wire source unless a row chooses another.
void Wired(MainWindow& main) {
  Place(main, 0, 0, kOSC), Place(main, 10, 0, kVCA), Place(main, 20, 0, kOUT), Place(main, 30, 10, kADD);
  Wire(main, 0, 0, 10, 0), Wire(main, 10, 0, 20, 0), Wire(main, 0, 4, 20, 4);
  PutCursor(main, 30, 10), main.area->BeginConnection(0);
}
void Unlabelled(MainWindow& main) { Place(main, 0, 5, kDRM), Place(main, 10, 5, kVCA); }  // a DRM at (0, 5), a VCA at (10, 5)

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUp() {
    MainWindow& main = Editor();
    // No sound device: one box, and the editor goes on.
    QCOMPARE(startUpBoxes, std::vector<QString>{"waveOutOpen failed, check WAVE-Output settings"});
    QCOMPARE(Panel(main), QString("+++++++.....++++++++++++++++++++++++ +++++++     +++++   +   +       ++++ "
                                  "...... ..... ..... ..... . |||||| %1 |||||").arg(QString("  +0|").repeated(6)));
    // The layout, by the first and a later control of each group.
    const std::pair<WindowHandle, QRect> layout[] = {
        {main.moduleButtons[0], {656, 8, 40, 32}}, {main.moduleButtons[13], {696, 40, 40, 32}}, {main.controllerBars[1], {224, 436, 320, 20}},
        {main.captions[1], {112, 436, 112, 20}},   {main.valueLabels[1], {544, 436, 72, 20}},  {main.editShowButton, {16, 404, 80, 32}},
        {main.inputButtons[1], {16, 456, 64, 20}}, {main.disconnectButtons[1], {80, 456, 16, 20}}, {main.outputButtons[1], {680, 440, 96, 24}},
    };
    for (const auto& [control, at] : layout) QCOMPARE(Widget(control)->geometry(), at);
  }

  // On an OSC at (0, 0) whose output 0 is the wire source and feeds input 0
  // of the OUT at (10, 0), and a SEQ at (10, 10): the arrows move the cursor;
  // digits 1..5 choose the wire source's output, 6..9 and 0 wire an input to
  // it; Enter shows its box every time, whatever is selected, and nothing
  // else; other keys do nothing. A left click selects the cell under it (x 1
  // is column 0, x 0 column -1), a right click moves the selected module there
  // unless it would reach past the grid. The panel's buttons and menu items
  // act on the module at the cursor or on a free cell. An input that changes
  // nothing causes nothing, and whatever was used, the keyboard focus is back
  // on the grid.
  void input() {
    struct Case { int32_t x, y; Kind kind; int32_t a, b; const char* state; Effect effect; };
    const auto at = [](int32_t cell) { return 16 + 16 * cell; };
    const Case cases[] = {
        {5, 5, Key, Qt::Key_Left, 0, "4,5 xxx 0 -----", kKeptRefreshed},      {5, 5, Key, Qt::Key_Up, 0, "5,4 xxx 0 -----", kKeptRefreshed},
        {5, 5, Repeat, Qt::Key_Right, 0, "6,5 xxx 0 -----", kKeptRefreshed},  {5, 5, Key, Qt::Key_Down, 0, "5,6 xxx 0 -----", kKeptRefreshed},
        {0, 5, Key, Qt::Key_Left, 0, "0,5 xxx 0 -----", kNoEffect},           {5, 0, Key, Qt::Key_Up, 0, "5,0 xxx 0 -----", kNoEffect},
        {39, 5, Key, Qt::Key_Right, 0, "39,5 xxx 0 -----", kNoEffect},        {5, 23, Key, Qt::Key_Down, 0, "5,23 xxx 0 -----", kNoEffect},
        {5, 5, Key, Qt::Key_Escape, 0, "5,5 xxx 0 -----", kNoEffect},         {10, 0, Key, Qt::Key_A, 'a', "10,0 OUT 0 0----", kNoEffect},
        {5, 5, Key, Qt::Key_Return, '\r', "5,5 xxx 0 ----- Enter Key pressed", kNoEffect},
        {0, 0, Key, Qt::Key_Enter, '\r', "0,0 OSC 0 ----- Enter Key pressed", kNoEffect},
        {0, 0, Key, Qt::Key_1, '1', "0,0 OSC 0 -----", kClearedRefreshed},     {0, 0, Key, Qt::Key_5, '5', "0,0 OSC 4 -----", kClearedRefreshed},
        {0, 0, Key, Qt::Key_2, '2', "0,0 OSC 0 -----", kNoEffect},             {10, 0, Key, Qt::Key_6, '6', "10,0 OUT 0 0----", kClearedRefreshed},
        {10, 0, Key, Qt::Key_9, '9', "10,0 OUT 0 0--3-", kClearedRefreshed},   {10, 0, Key, Qt::Key_0, '0', "10,0 OUT 0 0---4", kClearedRefreshed},
        {10, 10, Left, 1, 20, "0,0 OSC 0 -----", kKeptRefreshed},              {10, 10, Left, 0, 20, "10,10 SEQ 0 -----", kNoEffect},
        {10, 10, Left, at(7), at(7) + 15, "7,7 xxx 0 -----", kKeptRefreshed},  {10, 10, Right, at(20) + 15, at(5), "20,5 SEQ 0 -----", kCleared},
        {10, 10, Right, at(37), at(5), "10,10 SEQ 0 -----", kNoEffect},
        {5, 5, Button, 50000 + kOSC, 0, "5,5 OSC 0 -----", kClearedRefreshed}, {0, 0, Button, 50000, 0, "0,0 xxx -1 -----", kClearedRefreshed},
        {5, 5, Menu, 50035, 0, "5,5 OUT 0 -----", kClearedRefreshed},          {5, 5, Button, 50021, 0, "5,5 xxx 0 -----", kNoEffect},
        {10, 0, Button, 802, 0, "10,0 OUT 0 0-2--", kClearedRefreshed},        {10, 0, Button, 816, 0, "10,0 OUT 0 -----", kClearedRefreshed},
        {0, 0, Button, 836, 0, "0,0 OSC 4 -----", kCleared},                   {0, 0, Message, 833, 0, "0,0 OSC 0 -----", kNoEffect},
        {10, 10, Button, 511, 0, "10,10 SEQ 0 ----- window", kNoEffect},       {0, 0, Menu, 40001, 0, "0,0 xxx -1 -----", kClearedRefreshed},
    };
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      Place(main, 0, 0, kOSC), Place(main, 10, 0, kOUT), Wire(main, 0, 0, 10, 0), Place(main, 10, 10, kSEQ), PutCursor(main, c.x, c.y);
      MessageBoxCatcher catcher;
      const Effect effect = Observe([&] { Send(main, c.kind, c.a, c.b); });
      QString seen = State(main);
      for (const auto& box : catcher.boxes) seen += ' ' + box.text;
      QVERIFY2(seen == c.state && effect == c.effect && QApplication::focusWidget() == Surface(main), RowName(cases, c) + ": " + seen.toUtf8());
    }
  }

  // On a module no module is offered (Delete is); the panel shows the
  // module's controls. Values are set to 2047, -32768 and 32767 first; the
  // ADD's input 0 is wired, which turns its row's bar off ("Value 1" has no input caption).
  void enablingRules() {
    struct Case { ModuleType type; const char* panel; };
    const char* onAModule = "+................................... +......     .....   .   .       .... ";
    const Case cases[] = {
        {kSEQ, "+..... ...++ ..... +...+ + Sequence Length||||RESTART|STEP|   +0|  -16|  +15|  +0|  +0|  +0| OUTPUT||||Res-Out|"},
        {kVCA, "+.++.. +++.. ..... +.... . Amplitude|AUDIO|AM 1|AM 2|||   +2047|  -32768|  +32767|  +0|  +0|  +0| OUTPUT|||||"},
        {kADD, "..+++. ++++. +.... +.... . |Value 1|Value 2|Value 3|Value 4||   +2047|  -32768|  +32767|  +0|  +0|  +0| OUTPUT|||||"},
        {kOSC, "+..++. +++++ ..... +...+ . Frequency|FM1|FM2|DEPTH|PW|SyncIn|   +2047|  -32768|  +32767|  +32767|  +0|  +0| OUTPUT||||SyncOut|"},
    };
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      Place(main, 0, 0, c.type);
      if (c.type == kADD) Place(main, 20, 0, kOSC), Wire(main, 20, 0, 0, 0);
      main.area->SetSelectedController(0, 2047), main.area->SetSelectedController(1, -32768), main.area->SetSelectedController(2, 32767);
      main.RefreshControlPanel();
      QVERIFY2(Panel(main) == onAModule + QString(c.panel), TypeName(c.type));
    }
    // Taken pool buffers: DLY and FLA stay off with all four delay buffers in
    // use, DRM with its one buffer.
    MainWindow& main = FreshEditor();
    for (int32_t i = 0; i < 5; ++i) Place(main, 3 + 3 * i, 10, i == 4 ? kDRM : i % 2 == 0 ? kDLY : kFLA);
    QVERIFY(Panel(main).startsWith("+++++++.....+++++.++++++++++++++..++ +++++++     +++++   +   +       ..++ "));
    // Asked anyway (by message), the model's failure shows in a box with its text and icon.
    MessageBoxCatcher catcher;
    Command(main, kModuleCommandBase + kDLY);
    QVERIFY(catcher.boxes.size() == 1 && catcher.boxes[0].icon == QMessageBox::Critical && catcher.boxes[0].caption == "Error");
    QCOMPARE(catcher.boxes[0].text, QString("Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed"));
    QCOMPARE(main.area->GetSelectedType(), kNoModule);
  }

  // The right column sets a waveform and keeps the range (bit 8); the lower
  // L/H row sets the range, the upper one clears it.
  void modeSelector() {
    struct Case { ModuleType type; int32_t start, x, y, mode; Effect effect; };
    const Case cases[] = {
        {kOSC, 256, 650, 501, 260, kKept}, {kOSC, 3, 620, 440, 259, kKept}, {kOSC, 259, 647, 455, 259, kKept}, {kOSC, 259, 616, 416, 3, kKept},
        {kOSC, 256, 679, 535, 261, kKept}, {kOSC, 256, 680, 420, 256, kNoEffect}, {kOSC, 256, 620, 456, 256, kNoEffect},
        {kOSC, 256, 650, 536, 256, kNoEffect}, {kFLT, 0, 660, 456, 2, kKept}, {kVCA, 0, 660, 420, 0, kNoEffect},
    };
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      Place(main, 0, 0, c.type), main.area->SetSelectedMode(c.start);
      const Effect effect = Observe([&] { SendWindowMessage(main.window, kWmLButtonDown, 1, MakeLong(c.x, c.y)); });
      QVERIFY2(main.area->GetSelectedMode() == c.mode && main.area->CursorX() == 0 && effect == c.effect, RowName(cases, c));
    }
    // A real click.
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, kOSC), Click(Surface(main), QPoint(660, 466));
    QCOMPARE(main.area->GetSelectedMode(), 256 + 2);
  }

  // darkDots counts the grid's 960 dots that show (-1: not counted). Wires at
  // y 23: OSC -> VCA over x 64..174, VCA -> OUT over x 224..334; at y 59: OSC
  // output 4 -> OUT input 4, hidden where it crosses the VCA. Bodies are
  // probed between their connection boxes, clear of icons and names. The mode
  // selector, blank unless an OSC or FLT is selected, shows the chosen
  // picture on bright red inside a yellow edge, the others on dark red, each
  // 20 pixels high.
  void painted() {
    struct Case { const char* situation; Step build; int32_t cursorX, cursorY, darkDots; std::initializer_list<Probe> probes; };
    const Step empty = [](MainWindow&) {};
    const Case cases[] = {
        {"empty: the white square hides nine dots", empty, 0, 0, 960 - 9,
         {{16, 16, W}, {63, 63, W}, {64, 40, G}, {40, 64, G}, {655, 399, G}, {17, 65, D}, {18, 66, G}, {616, 416, G}, {660, 500, G}, {679, 535, G}}},
        // Columns 38 and 39 and rows 22 and 23 reach past the grid, below the
        // module buttons and above "Edit / Show".
        {"empty, at (38, 22)", empty, 38, 22, 960 - 4, {{624, 368, W}, {671, 399, W}, {623, 368, G}}},
        {"VCA selected", Wired, 10, 0, -1,
         {{120, 23, L}, {280, 23, R}, {120, 59, B}, {200, 59, W}, {18, 27, G}, {59, 22, L}, {59, 58, G}, {56, 56, B}, {179, 22, W}, {180, 20, B}}},
        {"OSC selected", Wired, 0, 0, -1, {{120, 23, R}, {280, 23, B}, {120, 59, R}, {200, 59, G}, {18, 27, W}, {59, 22, W}}},
        {"OUT selected", Wired, 20, 0, -1, {{120, 23, B}, {280, 23, L}, {120, 59, L}, {219, 22, L}, {59, 58, L}, {59, 22, G}, {338, 27, W}}},
        {"VCA output 0 chosen, nothing selected", [](MainWindow& m) { Wired(m), PutCursor(m, 10, 0), m.area->BeginConnection(0); }, 30, 0, -1,
         {{120, 23, B}, {280, 23, B}, {120, 59, B}, {219, 22, B}, {59, 22, G}, {500, 30, W}}},
        // DRM: a framed body, no boxes, no picture. VCA: input and output 0
        // framed, input 3 and output 1 absent. The cursor, on the VCA but not
        // its anchor, highlights nothing and shows the square beside it.
        {"DRM and VCA", Unlabelled, 11, 6, -1, {{16, 96, B}, {63, 143, B}, {20, 100, G}, {59, 100, G}, {40, 130, G}, {180, 100, B}, {179, 102, G},
                                                {180, 127, G}, {219, 100, B}, {219, 102, G}, {219, 109, G}, {178, 107, G}, {230, 120, W}}},
        {"OSC waveform 2, high range", [](MainWindow& m) { Place(m, 0, 0, kOSC), m.area->SetSelectedMode(256 + 2); }, 0, 0, -1,
         {{648, 416, M}, {648, 436, M}, {648, 456, Y}, {648, 476, M}, {648, 496, M}, {648, 516, M}, {668, 426, G}, {668, 446, G}, {668, 466, G},
          {668, 486, G}, {668, 506, G}, {668, 526, G}, {616, 416, M}, {616, 436, Y}}},
        {"FLT mode 1", [](MainWindow& m) { Place(m, 0, 0, kFLT), m.area->SetSelectedMode(1); }, 0, 0, -1,
         {{648, 416, M}, {648, 436, Y}, {648, 456, M}, {648, 476, G}}},
    };
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      c.build(main), PutCursor(main, c.cursorX, c.cursorY);
      QApplication::processEvents();
      const QImage painted = Surface(main)->grab().toImage().convertToFormat(QImage::Format_RGB32);
      int32_t dots = 0;
      for (int32_t i = 0; i < kGridColumns * kGridRows; ++i) dots += PixelAt(painted, 16 + 16 * (i / kGridRows), 17 + 16 * (i % kGridRows)) == D;
      QVERIFY2(c.darkDots < 0 || dots == c.darkDots, c.situation);
      for (const Probe& p : c.probes) {
        QVERIFY2(PixelAt(painted, p.x, p.y) == p.colour, qPrintable(QString::asprintf("%s: (%d, %d)", c.situation, p.x, p.y)));
      }
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
