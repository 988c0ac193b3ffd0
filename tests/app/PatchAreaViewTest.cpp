// The painted patch area, checked by pixels at known client coordinates:
// grid, dots, cursor square, bodies, connection boxes and wire colours.
// Text pixels are never looked at; they depend on the fonts installed.
#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

constexpr uint32_t kGrey = 0xC0C0C0, kDark = 0x404040, kWhite = 0xFFFFFF, kBlack = 0x000000;
constexpr uint32_t kGreen = 0x80FF40, kRed = 0xFF4040;

struct Probe { int32_t x, y; uint32_t colour; };

// The patches the rows paint: none; an OSC at 0, a VCA at 10 and an OUT at
// 20 (row 0), wired OSC -> VCA -> OUT and OSC output 4 -> OUT input 4, with
// an ADD at (30, 10); a DRM at (0, 5) and a VCA at (10, 5).
enum class Patch { Empty, Wired, Unlabelled };

void Build(MainWindow& main, Patch patch) {
  struct Module { int32_t x, y; ModuleType type; };
  struct Wire { int32_t fromX, output, toX, input; };
  const std::initializer_list<Module> wired = {{0, 0, kOSC}, {10, 0, kVCA}, {20, 0, kOUT}, {30, 10, kADD}};
  const std::initializer_list<Module> unlabelled = {{0, 5, kDRM}, {10, 5, kVCA}};
  for (const Module& m : patch == Patch::Wired ? wired : patch == Patch::Unlabelled ? unlabelled : std::initializer_list<Module>{}) {
    Place(main, m.x, m.y, m.type);
  }
  if (patch != Patch::Wired) return;
  for (const Wire& wire : {Wire{0, 0, 10, 0}, Wire{10, 0, 20, 0}, Wire{0, 4, 20, 4}}) {
    PutCursor(main, wire.fromX, 0);
    main.area->BeginConnection(wire.output);
    PutCursor(main, wire.toX, 0);
    main.area->CompleteConnection(wire.input);
  }
  PutCursor(main, 30, 10);  // the ADD's output 0 is the wire source unless a row chooses another
  main.area->BeginConnection(0);
}

}  // namespace

class PatchAreaViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void painted();
};

void PatchAreaViewTest::painted() {
  struct Case {
    const char* situation;
    Patch patch;
    int32_t sourceX, cursorX, cursorY;  // output 0 of the module at (sourceX, 0) is the wire source; -1: the ADD's
    int32_t darkDots;                    // of the 960 grid dots; -1: not counted
    std::initializer_list<Probe> probes;
  };
  // Wires at y 23: OSC -> VCA over x 64..174, VCA -> OUT over x 224..334; at
  // y 59: OSC output 4 -> OUT input 4, hidden where it crosses the VCA.
  // Bodies are probed between their connection boxes, clear of icons and names.
  const Case cases[] = {
      {"empty: the white square hides nine dots", Patch::Empty, -1, 0, 0, 960 - 9,
       {{16, 16, kWhite}, {63, 63, kWhite}, {64, 40, kGrey}, {40, 64, kGrey}, {655, 399, kGrey}, {17, 65, kDark},
        {18, 66, kGrey}, {654, 398, kGrey}}},
      // Columns 38 and 39 and rows 22 and 23 reach past the grid, below the
      // module buttons and above "Edit / Show".
      {"empty, at (38, 22)", Patch::Empty, -1, 38, 22, 960 - 4,
       {{624, 368, kWhite}, {660, 395, kWhite}, {671, 399, kWhite}, {623, 368, kGrey}}},
      {"VCA selected", Patch::Wired, -1, 10, 0, -1,
       {{120, 23, kGreen}, {280, 23, kRed}, {120, 59, kBlack}, {200, 59, kWhite}, {178, 27, kWhite}, {18, 27, kGrey},
        {59, 22, kGreen}, {59, 58, kGrey}, {56, 56, kBlack}, {179, 22, kWhite}, {180, 20, kBlack}}},
      {"OSC selected", Patch::Wired, -1, 0, 0, -1,
       {{120, 23, kRed}, {280, 23, kBlack}, {120, 59, kRed}, {200, 59, kGrey}, {18, 27, kWhite}, {178, 27, kGrey},
        {59, 22, kWhite}}},
      {"OUT selected", Patch::Wired, -1, 20, 0, -1,
       {{120, 23, kBlack}, {280, 23, kGreen}, {120, 59, kGreen}, {219, 22, kGreen}, {59, 58, kGreen}, {59, 22, kGrey},
        {338, 27, kWhite}}},
      {"VCA output 0 chosen, nothing selected", Patch::Wired, 10, 30, 0, -1,
       {{120, 23, kBlack}, {280, 23, kBlack}, {120, 59, kBlack}, {219, 22, kBlack}, {59, 22, kGrey}, {500, 30, kWhite}}},
      // DRM: a framed body, no boxes, no picture. VCA: input and output 0
      // framed, input 3 and output 1 absent. The cursor, on the VCA but not
      // its anchor, highlights nothing and shows the square beside it.
      {"DRM and VCA", Patch::Unlabelled, -1, 11, 6, -1,
       {{16, 96, kBlack}, {63, 143, kBlack}, {20, 100, kGrey}, {19, 102, kGrey}, {59, 100, kGrey}, {59, 102, kGrey},
        {40, 130, kGrey}, {180, 100, kBlack}, {179, 102, kGrey}, {180, 127, kGrey}, {219, 100, kBlack},
        {219, 102, kGrey}, {219, 109, kGrey}, {178, 107, kGrey}, {230, 120, kWhite}, {200, 150, kWhite}}},
  };
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    Build(main, c.patch);
    if (c.sourceX >= 0) { PutCursor(main, c.sourceX, 0); main.area->BeginConnection(0); }
    PutCursor(main, c.cursorX, c.cursorY);
    const QImage painted = PaintedClient(main);
    int32_t dots = 0;
    for (int32_t i = 0; i < kGridColumns * kGridRows; ++i) dots += PixelAt(painted, 16 + 16 * (i / kGridRows), 17 + 16 * (i % kGridRows)) == kDark;
    QVERIFY2(c.darkDots < 0 || dots == c.darkDots, c.situation);
    for (const Probe& p : c.probes) {
      const uint32_t seen = PixelAt(painted, p.x, p.y);
      QVERIFY2(seen == p.colour, qPrintable(QString("%1: (%2, %3) is %4").arg(c.situation).arg(p.x).arg(p.y).arg(seen, 0, 16)));
    }
  }
}

VARNOTEK_GUI_TEST_MAIN(PatchAreaViewTest)
#include "PatchAreaViewTest.moc"
