// The control panel on the real main window: its state right after start-up,
// the enabling rules, the controller scroll bars (by message and by real
// mouse input) and the mode selector.
#include <QMenu>
#include <QScrollBar>

#include "GuiTestSupport.h"
#include "dsp/DspMemory.h"

namespace {

using namespace ModuleTypeId;

bool On(WindowHandle control) { return Widget(control)->isEnabled(); }
QScrollBar* Bar(MainWindow& main, int32_t row) { return static_cast<QScrollBar*>(Widget(main.controllerBars[row])); }

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
    panel += ' ';
    for (int32_t i = 0; i < count; ++i) panel += texts ? Text(controls[i]) + '|' : On(controls[i]) ? "+" : ".";
  };
  add(m.controllerBars, kPanelRows, false), add(m.inputButtons, kPanelInputs, false), add(m.disconnectButtons, kPanelInputs, false);
  add(m.outputButtons, kPanelInputs, false), add(&m.editShowButton, 1, false);
  add(m.captions, kPanelRows, true), add(m.valueLabels, kPanelRows, true), add(m.outputButtons, kPanelInputs, true);
  return panel;
}

}  // namespace

class ControlPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void startUp();
  void enablingRules();
  void controllerScroll();
  void modeSelector();
};

void ControlPanelTest::startUp() {
  std::vector<QString> boxes;
  MainWindow& main = Editor(&boxes);
  // No sound device: one box, and the editor goes on.
  QCOMPARE(boxes, std::vector<QString>{"waveOutOpen failed, check WAVE-Output settings"});
  QCOMPARE(Panel(main), QString("+++++++.....++++++++++++++++++++++++ +++++++     +++++   +   +       ++++ "
                                "...... ..... ..... ..... . |||||| %1 |||||").arg(QString("  +0|").repeated(6)));
  const QImage painted = PaintedClient(main);
  for (const QPoint at : {QPoint(616, 416), QPoint(660, 500), QPoint(679, 535)}) QCOMPARE(PixelAt(painted, at.x(), at.y()), 0xC0C0C0u);
}

// On a module no module is offered (Delete is); the panel shows the
// module's controls. Values are set to 2047, -32768 and 32767 first.
void ControlPanelTest::enablingRules() {
  struct Case { const char* name; void (*setup)(MainWindow&); const char* panel; };
  const char* onAModule = "+................................... +......     .....   .   .       .... ";
  const Case cases[] = {
      {"SEQ, its values shown in -16..15", [](MainWindow& m) { Place(m, 0, 0, kSEQ); },
       "+..... ...++ ..... +...+ + Sequence Length||||RESTART|STEP|   +0|  -16|  +15|  +0|  +0|  +0| OUTPUT||||Res-Out|"},
      {"VCA", [](MainWindow& m) { Place(m, 0, 0, kVCA); },
       "+.++.. +++.. ..... +.... . Amplitude|AUDIO|AM 1|AM 2|||   +2047|  -32768|  +32767|  +0|  +0|  +0| OUTPUT|||||"},
      // A wired input turns its row's bar off: an ADD's "Value 1" has no input caption.
      {"ADD, input 0 wired",
       [](MainWindow& m) {
         Place(m, 0, 0, kADD);
         Place(m, 20, 0, kOSC);
         PutCursor(m, 20, 0);
         m.area->BeginConnection(0);
         PutCursor(m, 0, 0);
         m.area->CompleteConnection(0);
       },
       "..+++. ++++. +.... +.... . |Value 1|Value 2|Value 3|Value 4||   +2047|  -32768|  +32767|  +0|  +0|  +0| OUTPUT|||||"},
      {"OSC", [](MainWindow& m) { Place(m, 0, 0, kOSC); },
       "+..++. +++++ ..... +...+ . Frequency|FM1|FM2|DEPTH|PW|SyncIn|   +2047|  -32768|  +32767|  +32767|  +0|  +0| "
       "OUTPUT||||SyncOut|"},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    c.setup(main);
    int32_t r = 0;
    for (const int32_t value : {2047, -32768, 32767}) main.area->SetSelectedController(r++, value);
    main.RefreshControlPanel();
    QVERIFY2(Panel(main) == onAModule + QString(c.panel), c.name);
  }
  // Taken pool buffers: DLY and FLA stay off with all four delay buffers in
  // use, DRM with its one buffer.
  MainWindow& main = FreshEditor();
  for (int32_t i = 0; i < 4; ++i) Place(main, 3 + 3 * i, 10, i % 2 == 0 ? kDLY : kFLA);
  Place(main, 3, 15, kDRM);
  QVERIFY(Panel(main).startsWith("+++++++.....+++++.++++++++++++++..++ +++++++     +++++   +   +       ..++ "));
  // Asked anyway (by message), the model's failure shows in a box with its text and icon.
  MessageBoxCatcher catcher;
  Command(main, kModuleCommandBase + kDLY);
  QVERIFY(catcher.boxes.size() == 1 && catcher.boxes[0].icon == QMessageBox::Critical && catcher.boxes[0].caption == "Error");
  QCOMPARE(catcher.boxes[0].text, QString("Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed"));
  QCOMPARE(main.area->GetSelectedType(), kNoModule);
}

// The value is in the module's DSP block at once; bar and label follow.
void ControlPanelTest::controllerScroll() {
  struct Case { ModuleType type; int32_t start; uint32_t request; int16_t thumb; int32_t value; const char* label; };
  const Case cases[] = {
      {kVCA, 32760, kSbPageDown, 0, 32767, "  +32767"}, {kVCA, 100, kSbPageDown, 0, 132, "  +132"},
      {kVCA, -32768, kSbLineUp, 0, -32768, "  -32768"}, {kVCA, 100, kSbLineUp, 0, 99, "  +99"},
      {kVCA, 32767, kSbLineDown, 0, 32767, "  +32767"}, {kVCA, 100, kSbLineDown, 0, 101, "  +101"},
      {kVCA, -32760, kSbPageUp, 0, -32768, "  -32768"}, {kVCA, 100, kSbPageUp, 0, 68, "  +68"},
      {kVCA, 100, kSbThumbTrack, -5, -5, "  -5"},       {kVCA, 100, kSbThumbPosition, 1234, 1234, "  +1234"},
      {kVCA, 100, kSbEndScroll, 777, 100, "  +100"},    {kSEQ, 0, kSbThumbTrack, 32767, 32767, "  +15"},
      {kSEQ, 0, kSbThumbTrack, -2048, -2048, "  -1"},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, c.type);
    main.area->SetSelectedController(0, c.start);
    main.RefreshControlPanel();
    const Effect effect = Observe([&] {
      SendWindowMessage(main.window, kWmHScroll, MakeLong(c.request, static_cast<uint16_t>(c.thumb)),
                        reinterpret_cast<intptr_t>(main.controllerBars[0]));
    });
    const QByteArray name = "request " + QByteArray::number(c.request) + " from " + QByteArray::number(c.start);
    QVERIFY2(DspMemory.Load(main.area->SelectedModule()->dspBlock) == c.value, name);
    QVERIFY2(Bar(main, 0)->value() == c.value && Text(main.valueLabels[0]) == c.label && effect == kNoEffect, name);
  }
  // Real mouse input: the right arrow, then a drag of the thumb, which moves
  // the sound before the button is let go.
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kVCA);
  QScrollBar* bar = Bar(main, 0);
  const int32_t middle = bar->height() / 2;
  Click(bar, QPoint(bar->width() - 3, middle));
  QCOMPARE(main.area->GetSelectedController(0), 1);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, middle));
  const QPointF to(bar->width() / 2 + 60, middle);
  QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  const int32_t dragged = main.area->GetSelectedController(0);
  QVERIFY2(dragged > 1000 && bar->value() == dragged && Text(main.valueLabels[0]) == QString("  +%1").arg(dragged), "thumb drag");
  QTest::mouseRelease(bar, Qt::LeftButton, {}, to.toPoint());
}

void ControlPanelTest::modeSelector() {
  struct Case { ModuleType type; int32_t start, x, y, mode; Effect effect; };
  const Case cases[] = {
      {kOSC, 256, 650, 501, 260, kKeptOnly},  // waveform row 4 keeps bit 8
      {kOSC, 3, 620, 440, 259, kKeptOnly},    // the lower L/H row sets it
      {kOSC, 259, 647, 455, 259, kKeptOnly},  {kOSC, 259, 616, 416, 3, kKeptOnly},  // the upper one clears it
      {kOSC, 256, 679, 535, 261, kKeptOnly},  {kOSC, 256, 680, 420, 256, kNoEffect},
      {kOSC, 256, 620, 456, 256, kNoEffect},  {kOSC, 256, 650, 536, 256, kNoEffect},
      {kFLT, 0, 660, 456, 2, kKeptOnly},      {kVCA, 0, 660, 420, 0, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, c.type);
    main.area->SetSelectedMode(c.start);
    const Effect effect = Observe([&] { SendWindowMessage(main.window, kWmLButtonDown, 1, MakeLong(c.x, c.y)); });
    const QByteArray name = QByteArray(TypeName(c.type)) + " at " + QByteArray::number(c.x) + "," + QByteArray::number(c.y);
    QVERIFY2(main.area->GetSelectedMode() == c.mode && main.area->CursorX() == 0 && effect == c.effect, name);
  }
  // A real click, and the pictures: the chosen one on bright red inside a
  // yellow edge, the others on dark red, each 20 pixels high; a FLT's three
  // modes the same way.
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kOSC);
  Click(Surface(main), QPoint(660, 466));
  QCOMPARE(main.area->GetSelectedMode(), 256 + 2);
  QImage painted = PaintedClient(main);
  for (int32_t k = 0; k < kOscWaveformCount; ++k) {
    QVERIFY(PixelAt(painted, 648, 416 + 20 * k) == (k == 2 ? 0xFFFF00u : 0x800000u) && PixelAt(painted, 668, 426 + 20 * k) == 0xC0C0C0u);
  }
  QVERIFY(PixelAt(painted, 616, 416) == 0x800000u && PixelAt(painted, 616, 436) == 0xFFFF00u);  // H chosen
  Place(FreshEditor(), 0, 0, kFLT);
  main.area->SetSelectedMode(1);
  painted = PaintedClient(main);
  for (int32_t k = 0; k < 4; ++k) QCOMPARE(PixelAt(painted, 648, 416 + 20 * k), k == 1 ? 0xFFFF00u : k < 3 ? 0x800000u : 0xC0C0C0u);
}

VARNOTEK_GUI_TEST_MAIN(ControlPanelTest)
#include "ControlPanelTest.moc"
