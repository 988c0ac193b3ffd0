// The painted patch area, checked by pixels at known client coordinates:
// grid, dots, cursor square, bodies, connection boxes and wire colours.
// Text pixels are never looked at; they depend on the fonts installed.
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

constexpr uint32_t kGrey = 0xC0C0C0, kDark = 0x404040, kWhite = 0xFFFFFF, kBlack = 0x000000;
constexpr uint32_t kGreen = 0x80FF40, kRed = 0xFF4040;

struct Probe {
  int32_t x, y;
  uint32_t colour;
};

void ExpectPixels(MainWindow& main, std::initializer_list<Probe> probes, const char* situation) {
  const QImage painted = PaintedClient(main);
  for (const Probe& p : probes) {
    const uint32_t seen = PixelAt(painted, p.x, p.y);
    QVERIFY2(seen == p.colour, qPrintable(QString("%1: (%2, %3) is %4").arg(situation).arg(p.x).arg(p.y).arg(seen, 0, 16)));
  }
}

struct Wire {
  int32_t fromX, output, toX, input;
};
constexpr Wire kWires[] = {{0, 0, 10, 0}, {10, 0, 20, 0}, {0, 4, 20, 4}};

int32_t DarkDots(const QImage& painted) {
  int32_t dots = 0;
  for (int32_t c = 0; c < kGridColumns; ++c) {
    for (int32_t r = 0; r < kGridRows; ++r) dots += PixelAt(painted, 16 + 16 * c, 17 + 16 * r) == kDark;
  }
  return dots;
}

}  // namespace

class PatchAreaViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void emptyPatch();
  void highlights();
  void modulesWithoutLabels();
  void examplePatches();
};

void PatchAreaViewTest::emptyPatch() {
  MainWindow& main = FreshEditor();
  QCOMPARE(DarkDots(PaintedClient(main)), 960 - 9);  // the white square hides nine
  ExpectPixels(main, {{16, 16, kWhite}, {63, 63, kWhite}, {64, 40, kGrey}, {40, 64, kGrey}, {655, 399, kGrey},
                      {17, 65, kDark}, {18, 66, kGrey}, {654, 398, kGrey}}, "empty");
  // Columns 38 and 39 and rows 22 and 23 reach past the grid, below the
  // module buttons and above "Edit / Show".
  PutCursor(main, 38, 22);
  QCOMPARE(DarkDots(PaintedClient(main)), 960 - 4);
  ExpectPixels(main, {{624, 368, kWhite}, {660, 395, kWhite}, {671, 399, kWhite}, {623, 368, kGrey}}, "at 38, 22");
  PutCursor(main, 0, 22);
  ExpectPixels(main, {{16, 400, kWhite}, {63, 403, kWhite}, {20, 367, kGrey}}, "at 0, 22");
}

void PatchAreaViewTest::highlights() {
  struct Case {
    const char* situation;
    int32_t cursorX;  // OSC at 0, VCA at 10, OUT at 20, nothing at 30
    int32_t sourceX;  // output 0 chosen as wire source there; -1: on an ADD away from the probes
    std::initializer_list<Probe> probes;
  };
  // Wires at y 23: OSC -> VCA over x 64..174, VCA -> OUT over x 224..334; at
  // y 59: OSC output 4 -> OUT input 4, hidden where it crosses the VCA.
  // Bodies are probed between their connection boxes, clear of icons and names.
  const Case cases[] = {
      {"VCA selected", 10, -1,
       {{120, 23, kGreen}, {280, 23, kRed}, {120, 59, kBlack}, {200, 59, kWhite}, {178, 27, kWhite}, {18, 27, kGrey},
        {59, 22, kGreen}, {59, 58, kGrey}, {56, 56, kBlack}, {179, 22, kWhite}, {180, 20, kBlack}}},
      {"OSC selected", 0, -1,
       {{120, 23, kRed}, {280, 23, kBlack}, {120, 59, kRed}, {200, 59, kGrey}, {18, 27, kWhite}, {178, 27, kGrey},
        {59, 22, kWhite}}},
      {"OUT selected", 20, -1,
       {{120, 23, kBlack}, {280, 23, kGreen}, {120, 59, kGreen}, {219, 22, kGreen}, {59, 58, kGreen}, {59, 22, kGrey},
        {338, 27, kWhite}}},
      {"VCA output 0 chosen, nothing selected", 30, 10,
       {{120, 23, kBlack}, {280, 23, kBlack}, {120, 59, kBlack}, {219, 22, kBlack}, {59, 22, kGrey},
        {500, 30, kWhite}}},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Place(main, 0, 0, kOSC);
    Place(main, 10, 0, kVCA);
    Place(main, 20, 0, kOUT);
    Place(main, 30, 10, kADD);
    for (const Wire& wire : kWires) {
      PutCursor(main, wire.fromX, 0);
      main.area->BeginConnection(wire.output);
      PutCursor(main, wire.toX, 0);
      main.area->CompleteConnection(wire.input);
    }
    PutCursor(main, c.sourceX >= 0 ? c.sourceX : 30, c.sourceX >= 0 ? 0 : 10);
    main.area->BeginConnection(0);
    PutCursor(main, c.cursorX, 0);
    ExpectPixels(main, c.probes, c.situation);
  }
}

void PatchAreaViewTest::modulesWithoutLabels() {
  MainWindow& main = FreshEditor();
  Place(main, 0, 5, kDRM);
  Place(main, 10, 5, kVCA);
  PutCursor(main, 11, 6);  // covered by the VCA, not its anchor: nothing is highlighted
  // DRM: a framed body, no boxes, no picture. VCA: input and output 0
  // framed, input 3 and output 1 absent; the square shows beside it.
  ExpectPixels(main, {{16, 96, kBlack}, {63, 143, kBlack}, {20, 100, kGrey}, {19, 102, kGrey}, {59, 100, kGrey},
                      {59, 102, kGrey}, {40, 130, kGrey}, {180, 100, kBlack}, {179, 102, kGrey}, {180, 127, kGrey},
                      {219, 100, kBlack}, {219, 102, kGrey}, {219, 109, kGrey}, {178, 107, kGrey},
                      {230, 120, kWhite}, {200, 150, kWhite}}, "DRM and VCA");
}

// Every example loads without a message and shows each of its modules as a
// framed body. VARNOTEK_SCREENSHOT_DIR keeps a picture of each, to look at.
void PatchAreaViewTest::examplePatches() {
  const QDir examples(VARNOTEK_EXAMPLES);
  const QStringList files = examples.entryList({"*.pch"}, QDir::Files, QDir::Name);
  QVERIFY(files.size() >= 5);
  for (const QString& file : files) {
    MainWindow& main = FreshEditor();
    std::snprintf(main.area->filePath, sizeof main.area->filePath, "%s", qPrintable(examples.filePath(file)));
    MessageBoxCatcher catcher;
    main.area->LoadPatch(main.window);
    main.RefreshControlPanel();
    const QImage painted = PaintedClient(main);
    int32_t modules = 0;
    for (int32_t c = 0; c < kGridColumns; ++c) {
      for (int32_t r = 0; r < kGridRows; ++r) {
        const BlockModule* module = main.area->ModuleAt(c, r);
        if (module == nullptr) continue;
        ++modules;
        const int32_t x = 16 + 16 * c, y = 16 + 16 * r;
        const uint32_t body = module == main.area->SelectedModule() ? kWhite : kGrey;
        QVERIFY2(PixelAt(painted, x, y) == kBlack && PixelAt(painted, x + 47, y + 47) == kBlack, qPrintable(file));
        QVERIFY2(PixelAt(painted, x + 2, y + 11) == body, qPrintable(file));
      }
    }
    QVERIFY2(modules > 0 && catcher.boxes.empty(), qPrintable(file));
    if (const char* folder = std::getenv("VARNOTEK_SCREENSHOT_DIR")) {
      Surface(main)->window()->grab().save(QDir(folder).filePath(file + ".png"));
    }
  }
}

VARNOTEK_GUI_TEST_MAIN(PatchAreaViewTest)
#include "PatchAreaViewTest.moc"
