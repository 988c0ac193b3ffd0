// The painted patch area, checked by pixels at known client coordinates:
// grid, dots, cursor square, bodies, connection boxes and wire colours.
// Text pixels are never looked at; they depend on the fonts installed.
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

constexpr uint32_t kGrey = 0xC0C0C0;
constexpr uint32_t kDark = 0x404040;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGreen = 0x80FF40;
constexpr uint32_t kRed = 0xFF4040;

struct Probe {
  int32_t x, y;
  uint32_t colour;
};

void ExpectPixels(MainWindow& main, std::initializer_list<Probe> probes, const char* situation) {
  const QImage painted = PaintedClient(main);
  for (const Probe& probe : probes) {
    const uint32_t seen = PixelAt(painted, probe.x, probe.y);
    QVERIFY2(seen == probe.colour, qPrintable(QString("%1: pixel (%2, %3) is %4, not %5")
                                                  .arg(situation)
                                                  .arg(probe.x)
                                                  .arg(probe.y)
                                                  .arg(seen, 6, 16, QChar('0'))
                                                  .arg(probe.colour, 6, 16, QChar('0'))));
  }
}

// An OSC at (0, 0) wired into a VCA at (10, 0), wired into an OUT at (20, 0);
// the OSC's output 4 also feeds the OUT's input 4, a wire across the VCA.
// The wire source is left on an ADD at (30, 10), away from the probes.
void Chain(MainWindow& main) {
  Place(main, 0, 0, kOSC);
  Place(main, 10, 0, kVCA);
  Place(main, 20, 0, kOUT);
  Place(main, 30, 10, kADD);
  const auto wire = [&](int32_t fromX, int32_t output, int32_t toX, int32_t input) {
    PutCursor(main, fromX, 0);
    main.area->BeginConnection(output);
    PutCursor(main, toX, 0);
    main.area->CompleteConnection(input);
  };
  wire(0, 0, 10, 0);
  wire(10, 0, 20, 0);
  wire(0, 4, 20, 4);
  PutCursor(main, 30, 10);
  main.area->BeginConnection(0);
}

}  // namespace

class PatchAreaViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void emptyPatch();
  void cursorSquare();
  void highlights();
  void modulesWithoutLabels();
  void examplePatches();
};

void PatchAreaViewTest::emptyPatch() {
  MainWindow& main = FreshEditor();
  const QImage painted = PaintedClient(main);
  int32_t dots = 0;
  for (int32_t column = 0; column < kGridColumns; ++column) {
    for (int32_t row = 0; row < kGridRows; ++row) {
      const int32_t x = 16 + 16 * column;
      const int32_t y = 16 + 16 * row;
      const bool underCursor = column < 3 && row < 3;
      dots += !underCursor && PixelAt(painted, x, y) == kDark && PixelAt(painted, x + 1, y + 1) == kDark;
      QCOMPARE(PixelAt(painted, x + 2, y + 2), underCursor ? kWhite : kGrey);
      QCOMPARE(PixelAt(painted, x + 9, y + 7), underCursor ? kWhite : kGrey);
    }
  }
  // The white square covers the nine dots under it.
  QCOMPARE(dots, 960 - 9);
  ExpectPixels(main, {{16, 16, kWhite}, {63, 63, kWhite}, {64, 40, kGrey}, {40, 64, kGrey}, {655, 399, kGrey}},
               "empty patch");
  // With the cursor moved off them, all 960 dots show.
  PutCursor(main, 39, 23);
  const QImage moved = PaintedClient(main);
  dots = 0;
  for (int32_t column = 0; column < kGridColumns; ++column) {
    for (int32_t row = 0; row < kGridRows; ++row) dots += PixelAt(moved, 16 + 16 * column, 16 + 16 * row) == kDark;
  }
  QCOMPARE(dots, 960 - 1);  // only the cursor's own cell is under its square
}

void PatchAreaViewTest::cursorSquare() {
  struct Case {
    int32_t cursorX, cursorY;
    std::initializer_list<Probe> probes;
  };
  // Rows 22 and 23 and columns 38 and 39 reach past the grid, below the
  // module buttons and above "Edit / Show".
  const Case cases[] = {
      {38, 22, {{624, 368, kWhite}, {660, 395, kWhite}, {671, 399, kWhite}, {623, 368, kGrey}}},
      {0, 22, {{16, 400, kWhite}, {63, 403, kWhite}, {20, 367, kGrey}}},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    PutCursor(main, c.cursorX, c.cursorY);
    ExpectPixels(main, c.probes, "cursor past the edge");
  }
}

void PatchAreaViewTest::highlights() {
  struct Case {
    const char* situation;
    int32_t cursorX;  // OSC at 0, VCA at 10, OUT at 20, nothing at 30
    int32_t sourceX, sourceOutput;
    std::initializer_list<Probe> probes;
  };
  // Wires at y 23: OSC -> VCA over x 64..174, VCA -> OUT over x 224..334;
  // at y 59: OSC -> OUT, hidden where it crosses the VCA's body. Bodies are
  // probed between their connection boxes, clear of icons and names.
  const Case cases[] = {
      {"VCA selected", 10, -1, -1,
       {{120, 23, kGreen}, {280, 23, kRed}, {120, 59, kBlack}, {200, 59, kWhite}, {178, 27, kWhite},
        {18, 27, kGrey}, {59, 22, kGreen}, {59, 58, kGrey}, {56, 56, kBlack}, {179, 22, kWhite}, {180, 20, kBlack}}},
      {"OSC selected", 0, -1, -1,
       {{120, 23, kRed}, {280, 23, kBlack}, {120, 59, kRed}, {200, 59, kGrey}, {18, 27, kWhite}, {178, 27, kGrey},
        {59, 22, kWhite}}},
      {"OUT selected", 20, -1, -1,
       {{120, 23, kBlack}, {280, 23, kGreen}, {120, 59, kGreen}, {200, 59, kGrey}, {219, 22, kGreen},
        {59, 58, kGreen}, {59, 22, kGrey}, {338, 27, kWhite}}},
      {"no module selected, VCA output 0 chosen", 30, 10, 0,
       {{120, 23, kBlack}, {280, 23, kBlack}, {120, 59, kBlack}, {219, 22, kBlack}, {59, 22, kGrey},
        {500, 30, kWhite}, {178, 27, kGrey}}},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Chain(main);
    if (c.sourceX >= 0) {
      PutCursor(main, c.sourceX, 0);
      main.area->BeginConnection(c.sourceOutput);
    }
    PutCursor(main, c.cursorX, 0);
    ExpectPixels(main, c.probes, c.situation);
  }
}

void PatchAreaViewTest::modulesWithoutLabels() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 5, kDRM);
  Place(main, 10, 5, kVCA);
  PutCursor(main, 11, 6);  // covered by the VCA, not its anchor
  // DRM: a framed body, no boxes, no picture. VCA, not highlighted: input
  // and output 0 framed, input 3 and output 1 absent. The square shows
  // only where the VCA does not cover it.
  ExpectPixels(main,
               {{16, 96, kBlack}, {63, 143, kBlack}, {20, 100, kGrey}, {19, 102, kGrey}, {59, 100, kGrey},
                {59, 102, kGrey}, {40, 130, kGrey}, {180, 100, kBlack}, {179, 102, kGrey}, {180, 127, kGrey},
                {219, 100, kBlack}, {219, 102, kGrey}, {219, 109, kGrey}, {178, 107, kGrey}, {230, 120, kWhite},
                {200, 150, kWhite}},
               "DRM, and a VCA under the cursor's square");
}

// Every example loads without a message and shows each of its modules as a
// framed body. VARNOTEK_SCREENSHOT_DIR keeps a picture of each, to look at.
void PatchAreaViewTest::examplePatches() {
  const QDir examples(VARNOTEK_EXAMPLES);
  const QStringList files = examples.entryList({"*.pch"}, QDir::Files, QDir::Name);
  QVERIFY(files.size() >= 5);
  for (const QString& file : files) {
    MainWindow& main = FreshEditor();
    std::snprintf(main.area->filePath, sizeof main.area->filePath, "%s",
                  examples.filePath(file).toLocal8Bit().constData());
    MessageBoxCatcher catcher;
    main.area->LoadPatch(main.window);
    main.RefreshControlPanel();
    QVERIFY2(catcher.boxes.empty(), qPrintable(file));
    const QImage painted = PaintedClient(main);
    int32_t modules = 0;
    for (int32_t column = 0; column < kGridColumns; ++column) {
      for (int32_t row = 0; row < kGridRows; ++row) {
        const BlockModule* module = main.area->ModuleAt(column, row);
        if (module == nullptr || module->type == kNoModule) continue;
        ++modules;
        const int32_t x = 16 + 16 * column;
        const int32_t y = 16 + 16 * row;
        const uint32_t body = module == main.area->SelectedModule() ? kWhite : kGrey;
        QVERIFY2(PixelAt(painted, x, y) == kBlack && PixelAt(painted, x + 47, y + 47) == kBlack, qPrintable(file));
        QVERIFY2(PixelAt(painted, x + 2, y + 11) == body, qPrintable(file));
      }
    }
    QVERIFY2(modules > 0, qPrintable(file));
    if (const char* folder = std::getenv("VARNOTEK_SCREENSHOT_DIR")) {
      Surface(main)->window()->grab().save(QDir(folder).filePath(file + ".png"));
    }
  }
}

VARNOTEK_GUI_TEST_MAIN(PatchAreaViewTest)
#include "PatchAreaViewTest.moc"
