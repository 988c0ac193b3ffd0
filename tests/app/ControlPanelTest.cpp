// The control panel on the real main window: its state right after start-up,
// the enabling rules, the controller scroll bars (by message and by real
// mouse input) and the mode selector.
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include "GuiTestMain.h"
#include "GuiTestSupport.h"
#include "dsp/DspMemory.h"

namespace {

using namespace ModuleTypeId;

QString Text(WindowHandle control) {
  QWidget* widget = Widget(control);
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  return static_cast<QPushButton*>(widget)->text();
}
bool Enabled(WindowHandle control) { return Widget(control)->isEnabled(); }
QScrollBar* Bar(MainWindow& main, int32_t row) { return static_cast<QScrollBar*>(Widget(main.controllerBars[row])); }

// 1 enabled, 0 greyed, -1 no such item (DRM, PAT, SNG and "---" have none).
int MenuItemState(MainWindow& main, int32_t id) {
  for (QAction* action : Surface(main)->window()->findChildren<QAction*>()) {
    if (action->property("varnotekCommand").toInt() == id && action->menu() == nullptr) return action->isEnabled();
  }
  return -1;
}
bool MenuItemEnabled(MainWindow& main, int32_t id) { return MenuItemState(main, id) == 1; }

// The module buttons and menu items offered: one character per type, '+' enabled.
QString OfferedTypes(MainWindow& main) {
  QString offered;
  for (int32_t type = 0; type < kModuleTypeCount; ++type) offered += Enabled(main.moduleButtons[type]) ? '+' : '.';
  return offered;
}

// Wires output 0 of an OSC at (20, 0) into `input` of the module at the cursor.
void WireOscInto(MainWindow& main, int32_t input) {
  const int32_t x = main.area->CursorX();
  const int32_t y = main.area->CursorY();
  Place(main, 20, 0, kOSC);
  PutCursor(main, 20, 0);
  main.area->BeginConnection(0);
  PutCursor(main, x, y);
  main.area->CompleteConnection(input);
  main.RefreshControlPanel();
}

constexpr int32_t kEdgeValues[] = {2047, -32768, 32767};

QRect SubControl(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = Qt::Horizontal;
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.subControls = QStyle::SC_All;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
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
  QCOMPARE(OfferedTypes(main), QString("+++++++.....++++++++++++++++++++++++"));
  int menuItems = 0;
  for (int32_t type = 1; type < kModuleTypeCount; ++type) {
    const int state = MenuItemState(main, kModuleCommandBase + type);
    if (state == -1) continue;
    ++menuItems;
    QCOMPARE(state, 1);
  }
  QCOMPARE(menuItems, 17);
  for (int32_t r = 0; r < kPanelRows; ++r) {
    QCOMPARE(Bar(main, r)->value(), 0);
    QVERIFY(!Enabled(main.controllerBars[r]));
    QCOMPARE(Text(main.captions[r]), QString(""));
    QCOMPARE(Text(main.valueLabels[r]), QString("  +0"));
  }
  for (int32_t i = 0; i < kPanelInputs; ++i) {
    QVERIFY(!Enabled(main.outputButtons[i]) && !Enabled(main.inputButtons[i]) && !Enabled(main.disconnectButtons[i]));
  }
  QVERIFY(!Enabled(main.editShowButton));
  const QImage painted = PaintedClient(main);
  for (const QPoint at : {QPoint(616, 416), QPoint(660, 500), QPoint(679, 535)}) {
    QCOMPARE(PixelAt(painted, at.x(), at.y()), 0xC0C0C0u);
  }
}

void ControlPanelTest::enablingRules() {
  using Check = void (*)(MainWindow&);
  struct Case {
    const char* name;
    Check run;
  };
  const Case cases[] = {
      {"SEQ values show shifted by 11 bits", [](MainWindow& m) {
         Place(m, 0, 0, kSEQ);
         for (int32_t r = 0; r < 3; ++r) m.area->SetSelectedController(r, kEdgeValues[r]);
         m.RefreshControlPanel();
         QCOMPARE(Text(m.valueLabels[0]) + Text(m.valueLabels[1]) + Text(m.valueLabels[2]), QString("  +0  -16  +15"));
       }},
      {"other values show as they are", [](MainWindow& m) {
         Place(m, 0, 0, kVCA);
         for (int32_t r = 0; r < 3; ++r) m.area->SetSelectedController(r, kEdgeValues[r]);
         m.RefreshControlPanel();
         QCOMPARE(Text(m.valueLabels[0]) + Text(m.valueLabels[1]) + Text(m.valueLabels[2]),
                  QString("  +2047  -32768  +32767"));
       }},
      {"wiring an ADD input switches its value bar off", [](MainWindow& m) {
         Place(m, 0, 0, kADD);
         QVERIFY(Enabled(m.controllerBars[1]));
         WireOscInto(m, 0);
         QVERIFY(!Enabled(m.controllerBars[1]));
         QVERIFY(Enabled(m.controllerBars[2]));
         QVERIFY(Enabled(m.disconnectButtons[0]) && !Enabled(m.disconnectButtons[1]));
       }},
      {"a MIX input with an empty caption keeps its volume bar", [](MainWindow& m) {
         Place(m, 0, 0, kMIX);
         WireOscInto(m, 0);
         QVERIFY(Enabled(m.controllerBars[1]));
       }},
      {"OSC row 1 is FM1 without a bar", [](MainWindow& m) {
         Place(m, 0, 0, kOSC);
         QCOMPARE(Text(m.captions[1]), QString("FM1"));
         QVERIFY(!Enabled(m.controllerBars[1]));
         QVERIFY(Enabled(m.controllerBars[0]) && Enabled(m.controllerBars[3]));
         QCOMPARE(Text(m.outputButtons[0]) + "|" + Text(m.outputButtons[1]) + "|" + Text(m.outputButtons[4]),
                  QString("OUTPUT||SyncOut"));
         QVERIFY(Enabled(m.outputButtons[0]) && !Enabled(m.outputButtons[1]) && Enabled(m.outputButtons[4]));
         for (WindowHandle input : m.inputButtons) QVERIFY(Enabled(input));
         QVERIFY(!Enabled(m.editShowButton));
       }},
      {"on a module no module is offered, Delete is", [](MainWindow& m) {
         Place(m, 0, 0, kVCA);
         QCOMPARE(OfferedTypes(m), QString("+..................................."));
         for (int32_t type = 1; type < kModuleTypeCount; ++type) QVERIFY(!MenuItemEnabled(m, kModuleCommandBase + type));
         QVERIFY(MenuItemEnabled(m, kModuleCommandBase));
       }},
      {"all four delay buffers taken", [](MainWindow& m) {
         for (int32_t i = 0; i < 4; ++i) Place(m, 3 + 3 * i, 10, i % 2 == 0 ? kDLY : kFLA);
         QCOMPARE(OfferedTypes(m), QString("+++++++.....++++++++++++++++++++..++"));
         QVERIFY(!MenuItemEnabled(m, 50032) && !MenuItemEnabled(m, 50033) && MenuItemEnabled(m, 50034));
       }},
      {"the drum-pattern buffer taken", [](MainWindow& m) {
         Place(m, 3, 10, kDRM);
         QCOMPARE(OfferedTypes(m), QString("+++++++.....+++++.++++++++++++++++++"));
       }},
      {"Edit / Show on SEQ and DRM", [](MainWindow& m) {
         for (const ModuleType type : {kSEQ, kDRM}) {
           Place(m, 0, 0, type);
           QVERIFY(Enabled(m.editShowButton));
           m.area->ReplaceSelected(0);
         }
       }},
  };
  for (const Case& c : cases) {
    qInfo("%s", c.name);
    c.run(FreshEditor());
    if (QTest::currentTestFailed()) return;
  }
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
      {kVCA, 32760, kSbPageDown, 0, 32767, "  +32767"},   {kVCA, 100, kSbPageDown, 0, 132, "  +132"},
      {kVCA, -32768, kSbLineUp, 0, -32768, "  -32768"},   {kVCA, 100, kSbLineUp, 0, 99, "  +99"},
      {kVCA, 32767, kSbLineDown, 0, 32767, "  +32767"},   {kVCA, -32760, kSbPageUp, 0, -32768, "  -32768"},
      {kVCA, 100, kSbThumbTrack, -5, -5, "  -5"},         {kVCA, 100, kSbThumbPosition, 1234, 1234, "  +1234"},
      {kVCA, 100, kSbEndScroll, 777, 100, "  +100"},      {kVCA, 100, kSbTop, 0, 100, "  +100"},
      {kSEQ, 0, kSbThumbTrack, 32767, 32767, "  +15"},    {kSEQ, 0, kSbThumbTrack, -2048, -2048, "  -1"},
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
    // The value is in the module's DSP block at once, the bar and label follow.
    QVERIFY2(DspMemory.Load(main.area->SelectedModule()->dspBlock) == c.value, name);
    QVERIFY2(Bar(main, 0)->value() == c.value, name);
    QVERIFY2(Text(main.valueLabels[0]) == c.label, name);
    QVERIFY2(effect == kNoEffect, name);
  }
}

void ControlPanelTest::controllerScrollByMouse() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kVCA);
  main.area->SetSelectedController(0, 0);
  main.RefreshControlPanel();
  QScrollBar* bar = Bar(main, 0);
  auto controller = [&] { return main.area->GetSelectedController(0); };

  Click(bar, Qt::LeftButton, SubControl(bar, QStyle::SC_ScrollBarAddLine).center());
  QCOMPARE(controller(), 1);
  Click(bar, Qt::LeftButton, SubControl(bar, QStyle::SC_ScrollBarSubLine).center());
  Click(bar, Qt::LeftButton, SubControl(bar, QStyle::SC_ScrollBarSubLine).center());
  QCOMPARE(controller(), -1);
  Click(bar, Qt::LeftButton, SubControl(bar, QStyle::SC_ScrollBarAddPage).center());
  QCOMPARE(controller(), 31);

  // The wheel does nothing over a bar, as on Win32.
  QWheelEvent wheel(QPointF(100, 10), bar->mapToGlobal(QPointF(100, 10)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(bar, &wheel);
  QCOMPARE(controller(), 31);
  QCOMPARE(bar->value(), 31);

  // Dragging the thumb moves the sound before the button is let go.
  const QPoint thumb = SubControl(bar, QStyle::SC_ScrollBarSlider).center();
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  QMouseEvent move(QEvent::MouseMove, QPointF(thumb + QPoint(60, 0)), bar->mapToGlobal(QPointF(thumb + QPoint(60, 0))),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  const int32_t dragged = controller();
  QVERIFY2(dragged > 1000, "the thumb drag did not reach the module");
  QCOMPARE(bar->value(), dragged);
  QCOMPARE(Text(main.valueLabels[0]), QString("  +%1").arg(dragged));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(60, 0));
  QCOMPARE(controller(), dragged);
}

void ControlPanelTest::modeSelector() {
  struct Case {
    ModuleType type;
    int32_t start;
    int32_t x, y;
    int32_t mode;
    Effect effect;
  };
  const Case cases[] = {
      {kOSC, 256, 650, 416 + 80 + 5, 260, kKeptOnly},  // waveform row 4 keeps bit 8
      {kOSC, 3, 620, 440, 259, kKeptOnly},             // lower L/H row sets bit 8
      {kOSC, 259, 647, 455, 259, kKeptOnly},
      {kOSC, 259, 616, 416, 3, kKeptOnly},             // upper row clears it
      {kOSC, 256, 679, 535, 261, kKeptOnly},
      {kOSC, 256, 680, 420, 256, kNoEffect},
      {kOSC, 256, 620, 456, 256, kNoEffect},
      {kOSC, 256, 650, 536, 256, kNoEffect},
      {kFLT, 0, 660, 456, 2, kKeptOnly},
      {kFLT, 1, 660, 500, 1, kKeptOnly},  // rows 3..5 succeed and change nothing
      {kFLT, 1, 620, 440, 1, kKeptOnly},
      {kVCA, 0, 660, 420, 0, kNoEffect},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, c.type);
    main.area->SetSelectedMode(c.start);
    main.RefreshControlPanel();
    const Effect effect = Observe([&] {
      SendWindowMessage(main.window, kWmLButtonDown, 1, MakeLong(c.x, c.y));
    });
    const QByteArray name = QByteArray(TypeName(c.type)) + " at " + QByteArray::number(c.x) + "," +
                            QByteArray::number(c.y);
    QVERIFY2(main.area->GetSelectedMode() == c.mode, name);
    QVERIFY2(main.area->CursorX() == 0 && main.area->CursorY() == 0, name);
    QVERIFY2(effect == c.effect, name);
  }

  // A real click, and what the selector shows: the chosen picture on bright
  // red inside a yellow edge, the others on dark red.
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kOSC);
  ClickClient(main, 660, 416 + 40 + 10);
  QCOMPARE(main.area->GetSelectedMode(), 256 + 2);
  const QImage painted = PaintedClient(main);
  for (int32_t k = 0; k < kOscWaveformCount; ++k) {
    QCOMPARE(PixelAt(painted, 648, 416 + 20 * k), k == 2 ? 0xFFFF00u : 0x800000u);
    QCOMPARE(PixelAt(painted, 668, 416 + 20 * k + 10), 0xC0C0C0u);  // right of the 20-pixel picture
  }
  QCOMPARE(PixelAt(painted, 616, 416), 0x800000u);  // L not chosen
  QCOMPARE(PixelAt(painted, 616, 436), 0xFFFF00u);  // H chosen
  QCOMPARE(PixelAt(painted, 620, 460), 0xC0C0C0u);
}

VARNOTEK_GUI_TEST_MAIN(ControlPanelTest)
#include "ControlPanelTest.moc"
