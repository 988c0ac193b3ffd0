// The SEQ and DRM edit windows on the real main window: opened with
// "Edit / Show", driven by their messages and by real clicks, and closed by
// everything that ends a module. The sequencer's step bars share their
// table with the panel's controller bar, which answers the same requests.
#include <QCheckBox>
#include <QScrollBar>
#include <cstdio>

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "editors/PatternEditors.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

// A module of the type at (0, 0) of an empty patch, selected; `fill` runs
// before its window is opened by the button.
BlockModule& OpenOn(ModuleType type, void (*fill)(const BlockModule&) = [](const BlockModule&) {}) {
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, type), fill(*main.area->ModuleAt(0, 0)), Click(Widget(main.editShowButton));
  return *main.area->ModuleAt(0, 0);
}

int OpenEditWindows() {
  int open = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) open += widget->isVisible() && widget->windowTitle() == kEditWindowClass;
  return open;
}

int32_t StepWord(const BlockModule& module, int32_t i) { return module.dspBlock + BlockWord::kStep + i; }
int32_t Initial(int32_t step) { return step * 2047 - 16000; }  // the steps the sequencer's window opens on
QString Shown(int32_t value) { return QString::asprintf("  %+d", value); }
uint8_t PatternByte(int32_t track, int32_t step) { return DrumPattern[DrumByteOffset(0, 0, track, step)].load(); }

}  // namespace

class PatternEditorsTest : public QObject {
  Q_OBJECT

 private slots:
  // Any byte above 0 shows as set; a click stores 1 or 0 in bank 0. First, on
  // a fresh grid, so that the DRM takes block 0, which a wrong "no block" test refuses.
  void drum() {
    struct Case { int32_t track, step, x; };
    const Case cases[] = {{0, 0, 16}, {1, 7, 72}, {2, 8, 84}, {3, 31, 276}, {0, 32, 292}, {1, 63, 552}};
    BlockModule& drm = OpenOn(kDRM, [](const BlockModule&) {
      for (int32_t i = 0; i < kDrumBankBytes; ++i) SetDrumByte(i, i == DrumByteOffset(0, 0, 2, 5) ? 7 : 0);
    });
    QVERIFY(drm.dspBlock == 0 && drm.editWindow != nullptr && Widget(drm.editWindow)->window()->pos() == QPoint(64, 64));
    QCOMPARE(Widget(drm.editWindow)->size(), QSize(640 - 8, 400 - 27));
    const auto boxOf = [&](int32_t track, int32_t step) { return ControlWithId<QCheckBox>(drm.editWindow, 64 * track + step); };
    QVERIFY(boxOf(2, 5)->isChecked() && !boxOf(2, 6)->isChecked());
    for (const Case& c : cases) {
      auto* box = boxOf(c.track, c.step);
      QVERIFY(box != nullptr && box->geometry() == QRect(c.x, 32 + 64 * c.track + 16 * (c.step % 2), 16, 16));
      const auto click = [&] { return Click(box, QPoint(8, 8)), PatternByte(c.track, c.step); };
      QVERIFY(click() == 1 && click() == 0);
    }
    // A command from a control that is no step box ("Edit / Show", id 511) stores nothing.
    SetDrumByte(511, 1);
    SendWindowMessage(drm.editWindow, kWmCommand, 511, Handle(Editor().editShowButton));
    QVERIFY(GetDrumByte(511) == 1);
    SetDrumByte(511, 0);
  }

  // The window shows the block's steps. A bar's request moves its value by
  // 1 or 32 or to the thumb, clamped to 16 bits, and bar and label follow,
  // with nothing repainted: a step bar of the window (row 0..15) its own
  // step; the panel's first bar (row -1: on a VCA at (10, 0); -2: on the SEQ,
  // its label in -16..15) controller 0 of the module there, in its DSP block at once.
  void scrollBars() {
    struct Case { int32_t row, from; uint32_t request; int32_t thumb, to; const char* label = nullptr; };
    const Case cases[] = {
        {3, 5, kSbLineUp, 0, 4},           {3, -32768, kSbLineUp, 0, -32768},    {0, 5, kSbLineDown, 0, 6},
        {15, 32767, kSbLineDown, 0, 32767}, {3, -32750, kSbPageUp, 0, -32768},  {3, 0, kSbPageUp, 0, -32},
        {3, 32750, kSbPageDown, 0, 32767}, {15, 0, kSbPageDown, 0, 32},         {0, 0, kSbThumbTrack, -1234, -1234},
        {3, 0, kSbThumbPosition, 32767, 32767}, {3, 9, kSbThumbTrack, -32768, -32768}, {3, 7, kSbEndScroll, 99, 7},
        {-1, 32760, kSbPageDown, 0, 32767}, {-1, 100, kSbPageDown, 0, 132}, {-1, -32768, kSbLineUp, 0, -32768}, {-1, 100, kSbLineUp, 0, 99},
        {-1, 32767, kSbLineDown, 0, 32767}, {-1, 100, kSbLineDown, 0, 101}, {-1, -32760, kSbPageUp, 0, -32768}, {-1, 100, kSbPageUp, 0, 68},
        {-1, 100, kSbThumbTrack, -5, -5}, {-1, 100, kSbThumbPosition, 1234, 1234}, {-1, 100, kSbEndScroll, 777, 100},
        {-2, 0, kSbThumbTrack, 32767, 32767, "  +15"}, {-2, 0, kSbThumbTrack, -2048, -2048, "  -1"},
    };
    // A stray buffer word, as a former type may leave it, means nothing to a SEQ: its window opens.
    BlockModule& seq = OpenOn(kSEQ, [](const BlockModule& m) {
      for (int32_t i = 0; i < 16; ++i) DspMemory.Store(StepWord(m, i), Initial(i));
      DspMemory.Store(m.dspBlock + BlockWord::kBufferNumber, 7);
    });
    QVERIFY(seq.editWindow != nullptr && Widget(seq.editWindow)->window()->pos() == QPoint(64, 64));
    QCOMPARE(Widget(seq.editWindow)->size(), QSize(424 - 8, 400 - 27));  // less the classic frame
    for (int32_t i = 0; i < 16; ++i) {
      auto* bar = ControlWithId<QScrollBar>(seq.editWindow, 1024 + i);
      QVERIFY(bar != nullptr && bar->geometry() == QRect(16, 16 + 20 * i, 320, 20) && bar->value() == Initial(i) && bar->minimum() == -32768);
      QVERIFY(bar->maximum() == 32767 && Widget(seq.editControls[i])->geometry() == QRect(336, 16 + 20 * i, 72, 20) &&
              Text(seq.editControls[i]) == Shown(Initial(i)));
    }
    MainWindow& main = Editor();
    Place(main, 10, 0, kVCA);
    for (const Case& c : cases) {
      const bool panel = c.row < 0;
      PutCursor(main, c.row == -1 ? 10 : 0, 0);
      const int32_t word = panel ? main.area->SelectedModule()->dspBlock : StepWord(seq, c.row);
      if (panel) main.area->SetSelectedController(0, c.from), main.RefreshControlPanel(); else DspMemory.Store(word, c.from);
      auto* bar = panel ? static_cast<QScrollBar*>(Widget(main.controllerBars[0])) : ControlWithId<QScrollBar>(seq.editWindow, 1024 + c.row);
      int32_t result = -1;
      const Effect effect = Observe([&] {
        result = SendWindowMessage(panel ? main.window : seq.editWindow, kWmHScroll, MakeLong(c.request, c.thumb), Handle(bar));
      });
      const QString label = Text(panel ? main.valueLabels[0] : seq.editControls[c.row]);
      QVERIFY2(result == 0 && effect == kNoEffect && bar->value() == c.to && label == (c.label ? c.label : Shown(c.to)), RowName(cases, c));
      QVERIFY2(DspMemory.Load(word) == c.to, RowName(cases, c));
      for (int32_t i = 0; i < 16; ++i) QVERIFY2(DspMemory.Load(StepWord(seq, i)) == (i == c.row ? c.to : Initial(i)), RowName(cases, c));
      if (!panel) DspMemory.Store(word, Initial(c.row));
    }
    // A real click on the right arrow of the panel's bar.
    auto* panelBar = static_cast<QScrollBar*>(Widget(main.controllerBars[0]));
    PutCursor(main, 10, 0), main.area->SetSelectedController(0, 0), main.RefreshControlPanel();
    Click(panelBar, QPoint(panelBar->width() - 3, 10));
    QCOMPARE(main.area->GetSelectedController(0), 1);
    // A real drag of step 5's thumb: the step follows while the mouse moves.
    auto* bar = ControlWithId<QScrollBar>(seq.editWindow, 1024 + 5);
    DspMemory.Store(StepWord(seq, 5), 0), bar->setValue(0);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 10));
    const QPointF to(bar->width() / 2 + 60, 10);
    QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QVERIFY2(DspMemory.Load(StepWord(seq, 5)) > 1000 && Text(seq.editControls[5]) == Shown(bar->value()), "thumb drag");
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to.toPoint());
  }

  void oneWindowUntilTheModuleEnds() {
    struct Case { const char* name; void (*end)(MainWindow&); };  // end nullptr: the window stays
    const Case cases[] = {
        {"Edit / Show again", nullptr},
        {"closed by the user", [](MainWindow& main) { Widget(main.area->ModuleAt(0, 0)->editWindow)->window()->close(); }},
        {"retyped", [](MainWindow& main) { main.area->ReplaceSelected(kOSC); }},
        {"deleted", [](MainWindow& main) { main.area->ReplaceSelected(kNoModule); }},
        {"File New", [](MainWindow& main) { Command(main, 40001); }},
        {"patch loaded", [](MainWindow& m) {
           std::snprintf(m.area->filePath, kFilePathSize, "%s", VARNOTEK_EXAMPLES "/05-ring-bell.pch"), m.area->LoadPatch(m.window);
         }},
    };
    MainWindow& main = Editor();
    for (ModuleType type : {kSEQ, kDRM}) {
      for (const Case& c : cases) {
        OpenOn(type), Click(Widget(main.editShowButton));
        QVERIFY2(OpenEditWindows() == 1, c.name);
        if (c.end == nullptr) continue;
        c.end(main), QApplication::processEvents();
        const BlockModule* still = main.area->ModuleAt(0, 0);
        QVERIFY2(OpenEditWindows() == 0 && (still == nullptr || still->editWindow == nullptr), c.name);
      }
    }
  }
};

QTEST_MAIN(PatternEditorsTest)
#include "PatternEditorsTest.moc"
