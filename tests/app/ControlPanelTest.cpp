// The control panel on the real main window: its state right after start-up,
// the enabling rules, the controller scroll bars (by message and by real
// mouse input) and the mode selector.
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include "GuiTestSupport.h"
#include "dsp/DspMemory.h"

namespace {

using namespace ModuleTypeId;

QString Text(WindowHandle control) {
  if (auto* label = qobject_cast<QLabel*>(Widget(control))) return label->text();
  return static_cast<QPushButton*>(Widget(control))->text();
}
bool On(WindowHandle control) { return Widget(control)->isEnabled(); }
QScrollBar* Bar(MainWindow& main, int32_t row) { return static_cast<QScrollBar*>(Widget(main.controllerBars[row])); }

// One character per type: '+' offered, '.' not; the same for the menu
// items, with ' ' where a type has none.
QString Offered(MainWindow& main) {
  QString offered;
  for (WindowHandle button : main.moduleButtons) offered += On(button) ? '+' : '.';
  return offered;
}
QString MenuOffered(MainWindow& main) {
  QString offered(kModuleTypeCount, ' ');
  for (QAction* action : Surface(main)->window()->findChildren<QAction*>()) {
    const int type = action->property("varnotekCommand").toInt() - kModuleCommandBase;
    if (type >= 0 && type < kModuleTypeCount && action->menu() == nullptr) offered[type] = action->isEnabled() ? '+' : '.';
  }
  return offered;
}

// Wires output 0 of an OSC at (20, 0) into `input` of the module at (0, 0), selected.
void WireOscInto(MainWindow& main, int32_t input) {
  Place(main, 20, 0, kOSC);
  PutCursor(main, 20, 0);
  main.area->BeginConnection(0);
  PutCursor(main, 0, 0);
  main.area->CompleteConnection(input);
  main.RefreshControlPanel();
}

QString ValueTexts(MainWindow& main, std::initializer_list<int32_t> values) {
  int32_t r = 0;
  for (const int32_t value : values) main.area->SetSelectedController(r++, value);
  main.RefreshControlPanel();
  return Text(main.valueLabels[0]) + Text(main.valueLabels[1]) + Text(main.valueLabels[2]);
}

}  // namespace

class ControlPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void startUp();
  void enablingRules();
  void controllerScrollByMessage();
  void controllerScrollByMouse();
  void modeSelector();
};

void ControlPanelTest::startUp() {
  std::vector<QString> boxes;
  MainWindow& main = Editor(&boxes);
  // No sound device: one box, and the editor goes on.
  QCOMPARE(boxes, std::vector<QString>{"waveOutOpen failed, check WAVE-Output settings"});
  QCOMPARE(Offered(main), QString("+++++++.....++++++++++++++++++++++++"));
  QCOMPARE(MenuOffered(main), QString("+++++++     +++++   +   +       ++++"));
  for (int32_t r = 0; r < kPanelRows; ++r) {
    QVERIFY(Bar(main, r)->value() == 0 && !On(main.controllerBars[r]));
    QVERIFY(Text(main.captions[r]) == "" && Text(main.valueLabels[r]) == "  +0");
  }
  for (int32_t i = 0; i < kPanelInputs; ++i) {
    QVERIFY(!On(main.outputButtons[i]) && !On(main.inputButtons[i]) && !On(main.disconnectButtons[i]));
  }
  QVERIFY(!On(main.editShowButton));
  const QImage painted = PaintedClient(main);
  for (const QPoint at : {QPoint(616, 416), QPoint(660, 500), QPoint(679, 535)}) {
    QCOMPARE(PixelAt(painted, at.x(), at.y()), 0xC0C0C0u);
  }
}

void ControlPanelTest::enablingRules() {
  MainWindow* m = &FreshEditor();
  Place(*m, 0, 0, kSEQ);
  QCOMPARE(ValueTexts(*m, {2047, -32768, 32767}), QString("  +0  -16  +15"));
  QVERIFY(On(m->editShowButton));
  m = &FreshEditor();
  Place(*m, 0, 0, kVCA);
  QCOMPARE(ValueTexts(*m, {2047, -32768, 32767}), QString("  +2047  -32768  +32767"));
  // On a module no module is offered; Delete is.
  QCOMPARE(Offered(*m), QString("+..................................."));
  QCOMPARE(MenuOffered(*m), QString("+......     .....   .   .       ...."));

  m = &FreshEditor();
  Place(*m, 0, 0, kADD);
  QVERIFY(On(m->controllerBars[1]));
  WireOscInto(*m, 0);  // the wire replaces "Value 1", which has no input caption
  QVERIFY(!On(m->controllerBars[1]) && On(m->controllerBars[2]));
  QVERIFY(On(m->disconnectButtons[0]) && !On(m->disconnectButtons[1]));
  m = &FreshEditor();
  Place(*m, 0, 0, kMIX);
  WireOscInto(*m, 0);  // an empty input caption still counts
  QVERIFY(On(m->controllerBars[1]));

  m = &FreshEditor();
  Place(*m, 0, 0, kOSC);
  QCOMPARE(Text(m->captions[1]), QString("FM1"));
  QVERIFY(!On(m->controllerBars[1]) && On(m->controllerBars[0]) && On(m->controllerBars[3]));
  QCOMPARE(Text(m->outputButtons[0]) + "|" + Text(m->outputButtons[1]) + "|" + Text(m->outputButtons[4]),
           QString("OUTPUT||SyncOut"));
  QVERIFY(On(m->outputButtons[0]) && !On(m->outputButtons[1]) && !On(m->editShowButton));
  for (WindowHandle input : m->inputButtons) QVERIFY(On(input));

  // Taken pool buffers: DLY and FLA stay off with all four delay buffers in
  // use, DRM with its one buffer.
  m = &FreshEditor();
  for (int32_t i = 0; i < 4; ++i) Place(*m, 3 + 3 * i, 10, i % 2 == 0 ? kDLY : kFLA);
  Place(*m, 3, 15, kDRM);
  QCOMPARE(Offered(*m), QString("+++++++.....+++++.++++++++++++++..++"));
  QCOMPARE(MenuOffered(*m), QString("+++++++     +++++   +   +       ..++"));
  // Asked anyway (by message), the model's failure shows in a box with its text and icon.
  MessageBoxCatcher catcher;
  SendWindowMessage(m->window, kWmCommand, kModuleCommandBase + kDLY, 0);
  QCOMPARE(catcher.boxes.size(), size_t{1});
  QCOMPARE(catcher.boxes[0].text,
           QString("Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed"));
  QVERIFY(catcher.boxes[0].icon == QMessageBox::Critical && catcher.boxes[0].caption == "Error");
  QCOMPARE(m->area->GetSelectedType(), kNoModule);
}

void ControlPanelTest::controllerScrollByMessage() {
  struct Case {
    ModuleType type;
    int32_t start;
    uint32_t request;
    int16_t thumb;
    int32_t value;
    const char* label;
  };
  const Case cases[] = {
      {kVCA, 32760, kSbPageDown, 0, 32767, "  +32767"}, {kVCA, 100, kSbPageDown, 0, 132, "  +132"},
      {kVCA, -32768, kSbLineUp, 0, -32768, "  -32768"}, {kVCA, 100, kSbLineUp, 0, 99, "  +99"},
      {kVCA, 32767, kSbLineDown, 0, 32767, "  +32767"}, {kVCA, -32760, kSbPageUp, 0, -32768, "  -32768"},
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
    // The value is in the module's DSP block at once; bar and label follow.
    QVERIFY2(DspMemory.Load(main.area->SelectedModule()->dspBlock) == c.value, name);
    QVERIFY2(Bar(main, 0)->value() == c.value && Text(main.valueLabels[0]) == c.label && effect == kNoEffect, name);
  }
}

void ControlPanelTest::controllerScrollByMouse() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kVCA);
  QScrollBar* bar = Bar(main, 0);
  const auto controller = [&] { return main.area->GetSelectedController(0); };
  const int32_t middle = bar->height() / 2;
  Click(bar, QPoint(bar->width() - 3, middle));  // the right arrow
  QCOMPARE(controller(), 1);
  Click(bar, QPoint(3, middle));
  Click(bar, QPoint(3, middle));
  QCOMPARE(controller(), -1);
  Click(bar, QPoint(bar->width() * 3 / 4, middle));  // the trough right of the thumb
  QCOMPARE(controller(), 31);

  // The wheel does nothing over a bar, as on Win32.
  QWheelEvent wheel(QPointF(100, middle), bar->mapToGlobal(QPointF(100, middle)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(bar, &wheel);
  QVERIFY(controller() == 31 && bar->value() == 31);

  // Dragging the thumb moves the sound before the button is let go.
  const QPoint thumb(bar->width() / 2, middle);
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  QMouseEvent move(QEvent::MouseMove, QPointF(thumb.x() + 60, middle), bar->mapToGlobal(QPointF(thumb.x() + 60, middle)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  const int32_t dragged = controller();
  QVERIFY2(dragged > 1000, "the thumb drag did not reach the module");
  QVERIFY(bar->value() == dragged && Text(main.valueLabels[0]) == QString("  +%1").arg(dragged));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(thumb.x() + 60, middle));
  QCOMPARE(controller(), dragged);
}

void ControlPanelTest::modeSelector() {
  struct Case {
    ModuleType type;
    int32_t start, x, y, mode;
    Effect effect;
  };
  const Case cases[] = {
      {kOSC, 256, 650, 501, 260, kKeptOnly},  // waveform row 4 keeps bit 8
      {kOSC, 3, 620, 440, 259, kKeptOnly},    // the lower L/H row sets it
      {kOSC, 259, 647, 455, 259, kKeptOnly},  {kOSC, 259, 616, 416, 3, kKeptOnly},  // the upper one clears it
      {kOSC, 256, 679, 535, 261, kKeptOnly},  {kOSC, 256, 680, 420, 256, kNoEffect},
      {kOSC, 256, 620, 456, 256, kNoEffect},  {kOSC, 256, 650, 536, 256, kNoEffect},
      {kFLT, 0, 660, 456, 2, kKeptOnly},      {kFLT, 1, 660, 500, 1, kKeptOnly},  // FLT rows 3..5 change nothing
      {kFLT, 1, 620, 440, 1, kKeptOnly},      {kVCA, 0, 660, 420, 0, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, c.type);
    main.area->SetSelectedMode(c.start);
    const Effect effect = Observe([&] { SendWindowMessage(main.window, kWmLButtonDown, 1, MakeLong(c.x, c.y)); });
    const QByteArray name = QByteArray(TypeName(c.type)) + " at " + QByteArray::number(c.x) + "," +
                            QByteArray::number(c.y);
    QVERIFY2(main.area->GetSelectedMode() == c.mode && main.area->CursorX() == 0 && effect == c.effect, name);
  }
  // A real click, and the pictures: the chosen one on bright red inside a
  // yellow edge, the others on dark red, each 20 pixels wide.
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kOSC);
  Click(Surface(main), QPoint(660, 466));
  QCOMPARE(main.area->GetSelectedMode(), 256 + 2);
  const QImage painted = PaintedClient(main);
  for (int32_t k = 0; k < kOscWaveformCount; ++k) {
    QCOMPARE(PixelAt(painted, 648, 416 + 20 * k), k == 2 ? 0xFFFF00u : 0x800000u);
    QCOMPARE(PixelAt(painted, 668, 426 + 20 * k), 0xC0C0C0u);
  }
  QVERIFY(PixelAt(painted, 616, 416) == 0x800000u && PixelAt(painted, 616, 436) == 0xFFFF00u);  // H chosen
}

VARNOTEK_GUI_TEST_MAIN(ControlPanelTest)
#include "ControlPanelTest.moc"
