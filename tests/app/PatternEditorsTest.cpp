// The SEQ and DRM edit windows on the real main window: opened with
// "Edit / Show", driven by real clicks and drags or by their messages, and
// closed by everything that ends a module.
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <cstdio>

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "editors/PatternEditors.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

// A module of the type at (0, 0), placed unless it is there, selected, with
// its window opened by the button.
BlockModule& OpenOn(MainWindow& main, ModuleType type) {
  const BlockModule* there = main.area->ModuleAt(0, 0);
  if (there == nullptr || there->type != type) Place(main, 0, 0, type);
  PutCursor(main, 0, 0);
  Click(Widget(main.editShowButton));
  return *main.area->ModuleAt(0, 0);
}

int OpenEditWindows() {
  int open = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) open += widget->isVisible() && widget->windowTitle() == kEditWindowClass;
  return open;
}

template <typename Control>
Control* ControlWithId(const BlockModule& module, int32_t id) {
  for (Control* control : Widget(module.editWindow)->findChildren<Control*>()) {
    if (GetControlId(control) == id) return control;
  }
  return nullptr;
}

int32_t Step(const BlockModule& module, int32_t i) { return DspMemory.Load(module.dspBlock + BlockWord::kStep + i); }
QString Label(const BlockModule& module, int32_t i) { return static_cast<QLabel*>(Widget(module.editControls[i]))->text(); }
QString Shown(int32_t value) { return QString::asprintf("  %+d", value); }
uint8_t PatternByte(int32_t track, int32_t step) { return DrumPattern[DrumByteOffset(0, 0, track, step)].load(); }

}  // namespace

class PatternEditorsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void cleanup() { FreshEditor(); }
  void sequencerShowsItsBlock();
  void sequencerRequestsClamp();
  void sequencerThumbDrag();
  void drumBoxesStoreTheirClicks();
  void oneWindowUntilTheModuleEnds();
};

void PatternEditorsTest::sequencerShowsItsBlock() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kSEQ);
  const BlockModule& seq = *main.area->ModuleAt(0, 0);
  for (int32_t i = 0; i < 16; ++i) DspMemory.Store(seq.dspBlock + BlockWord::kStep + i, i * 2047 - 16000);
  OpenOn(main, kSEQ);
  QVERIFY(seq.editWindow != nullptr);
  QCOMPARE(Widget(seq.editWindow)->window()->pos(), QPoint(64, 64));
  for (int32_t i = 0; i < 16; ++i) {
    auto* bar = ControlWithId<QScrollBar>(seq, 1024 + i);
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->geometry(), QRect(16, 16 + 20 * i, 320, 20));
    QCOMPARE(bar->value(), i * 2047 - 16000);
    QCOMPARE(Widget(seq.editControls[i])->geometry(), QRect(336, 16 + 20 * i, 72, 20));
    QCOMPARE(Label(seq, i), Shown(i * 2047 - 16000));
  }
  // Closed and opened again, it shows what the block holds now.
  Widget(seq.editWindow)->window()->close();
  DspMemory.Store(seq.dspBlock + BlockWord::kStep + 9, 1234);
  Click(Widget(main.editShowButton));
  QCOMPARE(ControlWithId<QScrollBar>(seq, 1024 + 9)->value(), 1234);
  QCOMPARE(Label(seq, 9), Shown(1234));
}

void PatternEditorsTest::sequencerRequestsClamp() {
  struct Case {
    int32_t from;
    uint32_t request;
    int32_t thumb;
    int32_t to;
  };
  const Case cases[] = {
      {5, kSbLineUp, 0, 4},           {-32768, kSbLineUp, 0, -32768},     {5, kSbLineDown, 0, 6},
      {32767, kSbLineDown, 0, 32767}, {-32750, kSbPageUp, 0, -32768},     {0, kSbPageUp, 0, -32},
      {32750, kSbPageDown, 0, 32767}, {0, kSbPageDown, 0, 32},            {0, kSbThumbTrack, -1234, -1234},
      {0, kSbThumbPosition, 32767, 32767}, {9, kSbThumbTrack, -32768, -32768}, {7, kSbEndScroll, 99, 7},
      {7, kSbTop, 0, 7},
  };
  MainWindow& main = FreshEditor();
  BlockModule& seq = OpenOn(main, kSEQ);
  const int32_t neighbour = Step(seq, 4);
  for (const Case& c : cases) {
    const int32_t step = 3;
    DspMemory.Store(seq.dspBlock + BlockWord::kStep + step, c.from);
    auto* bar = ControlWithId<QScrollBar>(seq, 1024 + step);
    const int32_t result = SendWindowMessage(seq.editWindow, kWmHScroll, MakeLong(c.request, static_cast<uint32_t>(c.thumb)),
                                             reinterpret_cast<intptr_t>(static_cast<WindowHandle>(bar)));
    QCOMPARE(result, 0);
    QCOMPARE(Step(seq, step), c.to);
    QCOMPARE(bar->value(), c.to);
    QCOMPARE(Label(seq, step), Shown(c.to));
    QCOMPARE(Step(seq, step + 1), neighbour);
  }
}

// A real drag of step 0's thumb: the step follows while the mouse moves.
void PatternEditorsTest::sequencerThumbDrag() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kSEQ);
  for (int32_t i = 0; i < 16; ++i) DspMemory.Store(main.area->ModuleAt(0, 0)->dspBlock + BlockWord::kStep + i, 0);
  BlockModule& seq = OpenOn(main, kSEQ);
  auto* bar = ControlWithId<QScrollBar>(seq, 1024);
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = Qt::Horizontal;
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = option.sliderValue = bar->value();
  option.pageStep = bar->pageStep();
  const QPoint thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center();
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  std::vector<int32_t> seen;
  for (int dx : {20, 40, 60}) {
    QTest::mouseMove(bar, thumb + QPoint(dx, 0));
    seen.push_back(Step(seq, 0));
  }
  QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(60, 0));
  QVERIFY(seen[0] > 0 && seen[0] < seen[1] && seen[1] < seen[2]);
  QCOMPARE(Step(seq, 0), bar->value());
  QCOMPARE(Label(seq, 0), Shown(bar->value()));
}

void PatternEditorsTest::drumBoxesStoreTheirClicks() {
  struct Case {
    int32_t track, step, x;
  };
  const Case cases[] = {{0, 0, 16}, {1, 7, 72}, {2, 8, 84}, {3, 31, 276}, {0, 32, 292}, {1, 63, 552}};
  MainWindow& main = FreshEditor();
  Place(main, 0, 0, kDRM);
  for (int32_t offset = 0; offset < kDrumBankBytes; ++offset) SetDrumByte(offset, 0);
  SetDrumByte(DrumByteOffset(0, 0, 2, 5), 7);
  BlockModule& drm = OpenOn(main, kDRM);
  QVERIFY(drm.editWindow != nullptr);
  QVERIFY(ControlWithId<QCheckBox>(drm, 2 * 64 + 5)->isChecked());  // any byte above 0 is set
  QVERIFY(!ControlWithId<QCheckBox>(drm, 2 * 64 + 6)->isChecked());
  for (const Case& c : cases) {
    auto* box = ControlWithId<QCheckBox>(drm, 64 * c.track + c.step);
    QVERIFY(box != nullptr);
    QCOMPARE(box->geometry(), QRect(c.x, 32 + 64 * c.track + 16 * (c.step % 2), 16, 16));
    Click(box, QPoint(8, 8));
    QCOMPARE(PatternByte(c.track, c.step), uint8_t{1});
    Click(box, QPoint(8, 8));
    QCOMPARE(PatternByte(c.track, c.step), uint8_t{0});
  }
}

void PatternEditorsTest::oneWindowUntilTheModuleEnds() {
  using End = void (*)(MainWindow&, BlockModule&);
  struct Case {
    const char* name;
    End end;  // nullptr: the window stays
  };
  const Case cases[] = {
      {"Edit / Show again", nullptr},
      {"closed by the user", [](MainWindow&, BlockModule& m) { Widget(m.editWindow)->window()->close(); }},
      {"retyped", [](MainWindow& main, BlockModule&) { main.area->ReplaceSelected(kOSC); }},
      {"deleted", [](MainWindow& main, BlockModule&) { main.area->ReplaceSelected(kNoModule); }},
      {"File New", [](MainWindow& main, BlockModule&) { SendWindowMessage(main.window, kWmCommand, 40001, 0); }},
      {"patch loaded", [](MainWindow& main, BlockModule&) { main.area->LoadPatch(main.window); }},
  };
  QTemporaryDir folder;
  const QByteArray emptyPatch = (folder.path() + "/empty.pch").toLocal8Bit();
  {
    PatchArea empty;
    std::snprintf(empty.filePath, sizeof empty.filePath, "%s", emptyPatch.data());
    empty.SavePatch();
  }
  for (ModuleType type : {kSEQ, kDRM}) {
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      QApplication::processEvents();
      std::snprintf(main.area->filePath, sizeof main.area->filePath, "%s", emptyPatch.data());
      BlockModule& module = OpenOn(main, type);
      Click(Widget(main.editShowButton));
      QVERIFY2(OpenEditWindows() == 1, c.name);
      if (c.end == nullptr) continue;
      c.end(main, module);
      QApplication::processEvents();
      QVERIFY2(OpenEditWindows() == 0, c.name);
      BlockModule* still = main.area->ModuleAt(0, 0);
      if (still != nullptr) QVERIFY2(still->editWindow == nullptr, c.name);
    }
  }
}

VARNOTEK_GUI_TEST_MAIN(PatternEditorsTest)
#include "PatternEditorsTest.moc"
