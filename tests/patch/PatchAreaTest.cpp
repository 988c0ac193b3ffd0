// PatchArea: cursor, placement, moves, wires and the refusals that keep the
// grid's one-module-per-cell rule.

#include <cstring>
#include <span>

#include "PatchTestSupport.h"
#include "dsp/Pools.h"
#include "patch/PatchArea.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;
using PatchAreaTest = PatchModelTest;
using Values = std::vector<int32_t>;

// The cursor, then the chosen wire source: column, row, output.
Values Cursor(const PatchArea& area) {
  return {area.CursorX(), area.CursorY(), area.ConnectSourceX(), area.ConnectSourceY(), area.ConnectSourceOutput()};
}

// One operation of the UI: S select (a, b), M move to (a, b), R replace by
// type a, B begin a wire at output a, C complete it at input a, D disconnect
// input a, I is input a connected, or an arrow key (> < v ^).
int32_t Apply(PatchArea& area, char op, int32_t a, int32_t b) {
  if (op == 'S') return area.Select(a, b);
  if (op == 'M') return area.MoveSelected(a, b);
  if (op == 'R') return area.ReplaceSelected(a);
  if (op == 'B') return area.BeginConnection(a);
  if (op == 'C') return area.CompleteConnection(a);
  if (op == 'D') return area.DisconnectSelectedInput(a);
  if (op == 'I') return area.IsSelectedInputConnected(a);
  if (op == '>') return area.CursorRight();
  if (op == '<') return area.CursorLeft();
  return op == 'v' ? area.CursorDown() : area.CursorUp();
}

// An operation, the result it must give and the cursor after it. An arrow is
// pressed `a` times; its result is how often the cursor moved.
struct Step { char op; int32_t a, b, result, x, y; };

void Press(PatchArea& area, std::span<const Step> steps) {
  for (const Step& s : steps) {
    const bool arrow = std::strchr("><v^", s.op) != nullptr;
    int32_t result = arrow ? 0 : Apply(area, s.op, s.a, s.b);
    for (int32_t k = 0; arrow && k < s.a; ++k) result += Apply(area, s.op, 0, 0);
    EXPECT_EQ((Values{result, area.CursorX(), area.CursorY()}), (Values{s.result, s.x, s.y}))
        << s.op << " " << s.a << "," << s.b;
  }
}

TEST_F(PatchAreaTest, TitleCursorSelectAndMove) {
  PatchArea area;
  EXPECT_STREQ(area.title, "Varnotek 1.01 - www.varnotek.org - new patch");
  EXPECT_EQ(std::string(area.fileTitle) + area.filePath, "");
  EXPECT_EQ(Cursor(area), (Values{0, 0, -1, -1, -1}));
  const std::string name(600, 'n');
  area.SetTitle(name.c_str());
  EXPECT_EQ(std::string(area.title), (kTitlePrefix + name).substr(0, 255));
  // The cursor stops at the grid's edges and reaches every cell, but a
  // module's square must stay inside the anchor range.
  const Step onTheEmptyGrid[] = {
      {'<', 1, 0, 0, 0, 0},    {'^', 1, 0, 0, 0, 0},     {'>', 40, 0, 39, 39, 0},   {'v', 30, 0, 23, 39, 23},
      {'^', 1, 0, 1, 39, 22},  {'<', 2, 0, 2, 37, 22},   {'R', kOSC, 0, 0, 37, 22}, {'S', 36, 20, 1, 36, 20},
      {'S', 37, 5, 0, 36, 20}, {'S', 5, 21, 0, 36, 20},  {'S', -1, 0, 0, 36, 20},   {'S', 0, -1, 0, 36, 20},
      {'S', 40, 0, 0, 36, 20}, {'S', 0, 24, 0, 36, 20},  {'S', 39, 23, 0, 36, 20},  {'S', 4, 4, 1, 4, 4},
      {'R', kOSC, 0, 1, 4, 4}, {'S', 10, 10, 1, 10, 10}, {'R', kVCA, 0, 1, 10, 10}};
  Press(area, onTheEmptyGrid);
  // A covered cell selects its module's anchor; a free square may not overlap a module.
  const Step aroundModules[] = {{'S', 12, 11, 1, 10, 10}, {'S', 5, 5, 1, 4, 4}, {'S', 8, 8, 0, 4, 4},
                                {'S', 8, 12, 0, 4, 4},    {'S', 7, 7, 1, 7, 7}, {'S', 13, 10, 1, 13, 10},
                                {'S', 11, 12, 1, 10, 10}};
  Press(area, aroundModules);
  // The VCA onto its own anchor, off the range, onto the OSC at (4, 4), then
  // onto part of its old place and away; with nothing selected, no move.
  const Step moves[] = {{'M', 10, 10, 0, 10, 10}, {'M', 37, 10, 0, 10, 10}, {'M', 10, 21, 0, 10, 10},
                        {'M', -1, 10, 0, 10, 10}, {'M', 6, 6, 0, 10, 10},   {'M', 4, 4, 0, 10, 10},
                        {'M', 11, 11, 1, 11, 11}, {'M', 7, 8, 1, 7, 8},     {'S', 20, 20, 1, 20, 20},
                        {'M', 30, 5, 0, 20, 20}};
  Press(area, moves);
  const BlockModule* vca = area.ModuleAt(7, 8);
  ASSERT_NE(vca, nullptr);
  EXPECT_EQ((Values{vca->posX, vca->posY, vca->type, CountModules(area)}), (Values{7, 8, kVCA, 2}));
  EXPECT_EQ(area.ModuleCovering(9, 10), vca);
  EXPECT_EQ(area.ModuleAt(11, 11), nullptr);
  EXPECT_EQ(area.ModuleCovering(13, 13), nullptr);
}

TEST_F(PatchAreaTest, WiresRunFromAnExistingOutputToAnInput) {
  PatchArea area;
  // OUT has no outputs, OSC only 0 and 4; the chosen source goes with its module.
  const Step begin[] = {{'S', 4, 0, 1, 4, 0},  {'R', kOUT, 0, 1, 4, 0}, {'C', 1, 0, 0, 4, 0}, {'B', 0, 0, 0, 4, 0},
                        {'S', 0, 0, 1, 0, 0},  {'R', kOSC, 0, 1, 0, 0}, {'B', 1, 0, 0, 0, 0}, {'B', 5, 0, 0, 0, 0},
                        {'B', -1, 0, 0, 0, 0}, {'B', 4, 0, 1, 0, 0},    {'M', 1, 5, 1, 1, 5}};
  Press(area, begin);
  EXPECT_EQ(Cursor(area), (Values{1, 5, 1, 5, 4}));
  // The source stays chosen: one output feeds several inputs in a row.
  const Step complete[] = {{'S', 4, 0, 1, 4, 0},   {'C', 0, 0, 1, 4, 0},   {'C', 2, 0, 1, 4, 0},
                           {'C', 5, 0, 0, 4, 0},   {'C', -1, 0, 0, 4, 0},  {'I', 2, 0, 1, 4, 0},
                           {'I', 1, 0, 0, 4, 0},   {'I', 5, 0, 0, 4, 0},   {'D', 0, 0, 1, 4, 0},
                           {'I', 0, 0, 0, 4, 0},   {'D', 5, 0, 0, 4, 0},   {'S', 30, 10, 1, 30, 10},
                           {'D', 2, 0, 0, 30, 10}, {'C', 0, 0, 0, 30, 10}, {'B', 0, 0, 0, 30, 10}};
  Press(area, complete);
  const BlockModule *osc = area.ModuleAt(1, 5), *out = area.ModuleAt(4, 0);
  EXPECT_EQ((Values{Word(out->dspBlock + kInput + 2), out->inputSourceX[2], out->inputSourceY[2],
                    out->inputSourceOutput[2], Word(out->dspBlock + kInput)}),
            (Values{osc->dspBlock + kOutput + 4, 1, 5, 4, out->dspBlock + kZeroSlot}));
  EXPECT_EQ(out->inputSource[2], osc);
  // The other delegates to the selected module refuse without one.
  area.SetSelectedController(0, 5);
  EXPECT_EQ((Values{area.GetSelectedType(), area.GetSelectedMode(), area.SetSelectedMode(1), area.GetSelectedController(0)}), (Values{kNoModule, 0, 0, 0}));
  area.Select(2, 6);
  area.SetSelectedController(3, 5);
  EXPECT_EQ((Values{area.SetSelectedMode(2), area.GetSelectedType(), area.GetSelectedMode(),
                    area.GetSelectedController(0), area.GetSelectedController(3)}),
            (Values{1, kOSC, 2, 22000, 5}));
}

TEST_F(PatchAreaTest, RetypingOrDeletingAModuleUnwiresWhatItFed) {
  PatchArea area;
  for (const auto& [column, type] : {std::pair{0, kOSC}, {4, kVCA}, {8, kOUT}}) area.SetModuleAt(column, 0, type);
  BlockModule* vca = area.ModuleAt(4, 0);
  const BlockModule* out = area.ModuleAt(8, 0);
  const int32_t block = vca->dspBlock;
  // OSC to VCA input 0, VCA to OUT input 4, OSC to OUT input 2; then the VCA becomes a FLT.
  const Step retype[] = {{'S', 0, 0, 1, 0, 0},   {'B', 0, 0, 1, 0, 0}, {'S', 4, 0, 1, 4, 0}, {'C', 0, 0, 1, 4, 0},
                         {'B', 0, 0, 1, 4, 0},   {'S', 8, 0, 1, 8, 0}, {'C', 4, 0, 1, 8, 0}, {'S', 0, 0, 1, 0, 0},
                         {'B', 0, 0, 1, 0, 0},   {'S', 8, 0, 1, 8, 0}, {'C', 2, 0, 1, 8, 0}, {'S', 4, 0, 1, 4, 0},
                         {'R', kFLT, 0, 1, 4, 0}};
  Press(area, retype);
  EXPECT_EQ((Values{vca->type, vca->dspBlock, area.GetSelectedType()}), (Values{kFLT, block, kFLT}));
  EXPECT_EQ(area.ModuleAt(4, 0), vca);
  EXPECT_TRUE(Unwired(*vca));
  EXPECT_EQ(out->inputSource[4], nullptr);
  EXPECT_EQ(out->inputSource[2], area.ModuleAt(0, 0));  // a wire from elsewhere stays
  // Deleting the chosen wire source forgets it, and no input keeps a wire from it.
  const Step remove[] = {{'B', 0, 0, 1, 4, 0}, {'S', 8, 0, 1, 8, 0}, {'C', 0, 0, 1, 8, 0}, {'S', 4, 0, 1, 4, 0}, {'R', kNoModule, 0, 1, 4, 0}};
  Press(area, remove);
  EXPECT_EQ(area.ModuleCovering(6, 2), nullptr);
  EXPECT_EQ(Cursor(area), (Values{4, 0, -1, -1, -1}));
  EXPECT_EQ(out->inputSource[2], area.ModuleAt(0, 0));
  EXPECT_EQ(area.SetModuleAt(0, 0, kNoModule), 1);
  EXPECT_TRUE(Unwired(*out));
}

TEST_F(PatchAreaTest, GridHoldsAtMost91ModulesAndClearReturnsEverything) {
  PatchArea area;
  for (int32_t row = 0; row <= 20; row += 3)
    for (int32_t column = 0; column <= 36; column += 3) ASSERT_EQ(area.SetModuleAt(column, row, kVCA), 1);
  for (int32_t row = 0; row < kGridRows; ++row)
    for (int32_t column = 0; column < kGridColumns; ++column)
      EXPECT_EQ(area.SetModuleAt(column, row, kVCA), area.ModuleAt(column, row) != nullptr) << column << "," << row;
  for (const auto& [column, row, type] :
       {std::array{-1, 0, kVCA}, {40, 0, kVCA}, {0, 24, kVCA}, {3, 0, 36}, {3, 0, -1}})
    EXPECT_EQ(area.SetModuleAt(column, row, type), 0) << column << "," << row << " " << type;
  // Retyping and deleting stay possible; deleting where nothing is anchored does nothing.
  EXPECT_EQ((Values{CountModules(area), area.SetModuleAt(0, 0, kDLY), area.SetModuleAt(3, 0, kDRM),
                    area.SetModuleAt(6, 0, kNoModule), area.SetModuleAt(6, 0, kNoModule), CountModules(area)}),
            (Values{13 * 7, 1, 1, 1, 1, 13 * 7 - 1}));
  area.Select(3, 3);
  area.BeginConnection(0);
  area.Clear();
  EXPECT_EQ((Values{CountModules(area), CountFreeBlocks(), RenderListHead.load(), delayBufInUse[0], drumBufInUse}),
            (Values{0, 1024, -1, 0, 0}));
  EXPECT_EQ(area.ModuleCovering(2, 2), nullptr);
  EXPECT_EQ(Cursor(area), (Values{0, 0, -1, -1, -1}));
}

}  // namespace
