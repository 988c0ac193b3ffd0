// PatchArea: cursor, placement, moves, wires and the refusals that keep the
// grid's one-module-per-cell rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PatchTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "patch/PatchArea.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

using PatchAreaTest = PatchModelTest;

int32_t InputWord(const BlockModule* m, int32_t i) { return Word(m->dspBlock + kInput + i); }

// Places a module with the UI's operations: select the cell, then replace.
BlockModule* Place(PatchArea& area, int32_t column, int32_t row, ModuleType type) {
  if (area.Select(column, row) != 1 || area.ReplaceSelected(type) != 1) return nullptr;
  return area.ModuleAt(column, row);
}

// Wires output `output` of the module at (sx, sy) to input `input` of the one at (tx, ty).
void Wire(PatchArea& area, int32_t sx, int32_t sy, int32_t output, int32_t tx, int32_t ty, int32_t input) {
  ASSERT_EQ(area.Select(sx, sy), 1);
  ASSERT_EQ(area.BeginConnection(output), 1);
  ASSERT_EQ(area.Select(tx, ty), 1);
  ASSERT_EQ(area.CompleteConnection(input), 1);
}

TEST_F(PatchAreaTest, StartsEmptyWithTheNewPatchTitle) {
  PatchArea area;
  EXPECT_EQ(std::string(area.title), std::string(kTitlePrefix) + "new patch");
  EXPECT_STREQ(area.title, "Varnotek 1.01 - www.varnotek.org - new patch");
  EXPECT_STREQ(area.fileTitle, "");
  EXPECT_STREQ(area.filePath, "");
  EXPECT_EQ(area.CursorX(), 0);
  EXPECT_EQ(area.CursorY(), 0);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
  EXPECT_EQ(CountModules(area), 0);
}

TEST_F(PatchAreaTest, LongTitleIsCutToTheField) {
  PatchArea area;
  const std::string name(600, 'n');
  area.SetTitle(name.c_str());
  EXPECT_EQ(std::strlen(area.title), 255u);
  EXPECT_EQ(std::string(area.title), (std::string(kTitlePrefix) + name).substr(0, 255));
}

TEST_F(PatchAreaTest, CursorStopsAtTheEdges) {
  PatchArea area;
  EXPECT_EQ(area.CursorLeft(), 0);
  EXPECT_EQ(area.CursorUp(), 0);
  for (int32_t k = 0; k < 39; ++k) ASSERT_EQ(area.CursorRight(), 1);
  EXPECT_EQ(area.CursorRight(), 0);
  EXPECT_EQ(area.CursorX(), 39);
  for (int32_t k = 0; k < 23; ++k) ASSERT_EQ(area.CursorDown(), 1);
  EXPECT_EQ(area.CursorDown(), 0);
  EXPECT_EQ(area.CursorY(), 23);
  EXPECT_EQ(area.CursorUp(), 1);
  EXPECT_EQ(area.CursorLeft(), 1);
  EXPECT_EQ(area.CursorX(), 38);
  EXPECT_EQ(area.CursorY(), 22);
}

TEST_F(PatchAreaTest, SelectOnAnEmptyGridNeedsRoomForAModule) {
  PatchArea area;
  struct Case {
    int32_t column, row, result;
  };
  const Case cases[] = {{36, 20, 1}, {37, 5, 0}, {5, 21, 0},  {-1, 0, 0}, {0, -1, 0},
                        {40, 0, 0},  {0, 24, 0}, {39, 23, 0}, {0, 0, 1}};
  for (const Case& c : cases) {
    area.Select(3, 3);
    EXPECT_EQ(area.Select(c.column, c.row), c.result) << c.column << "," << c.row;
    if (c.result == 0) {
      EXPECT_EQ(area.CursorX(), 3);
      EXPECT_EQ(area.CursorY(), 3);
    } else {
      EXPECT_EQ(area.CursorX(), c.column);
      EXPECT_EQ(area.CursorY(), c.row);
    }
  }
}

TEST_F(PatchAreaTest, SelectAroundAModule) {
  PatchArea area;
  ASSERT_NE(Place(area, 10, 10, kOSC), nullptr);
  for (int32_t dy = 0; dy < 3; ++dy)
    for (int32_t dx = 0; dx < 3; ++dx) {
      area.Select(0, 0);
      EXPECT_EQ(area.Select(10 + dx, 10 + dy), 1);
      EXPECT_EQ(area.CursorX(), 10);
      EXPECT_EQ(area.CursorY(), 10);
    }
  EXPECT_EQ(area.Select(8, 8), 0);  // its square would cover (10, 10)
  EXPECT_EQ(area.Select(8, 12), 0);
  EXPECT_EQ(area.Select(7, 7), 1);
  EXPECT_EQ(area.Select(13, 10), 1);
}

TEST_F(PatchAreaTest, MoveSelected) {
  PatchArea area;
  BlockModule* module = Place(area, 10, 10, kVCA);
  ASSERT_NE(module, nullptr);
  ASSERT_NE(Place(area, 4, 4, kOSC), nullptr);  // bottom-right cell (6, 6)

  area.Select(10, 10);
  EXPECT_EQ(area.MoveSelected(10, 10), 0);  // onto its own anchor
  EXPECT_EQ(area.MoveSelected(37, 10), 0);
  EXPECT_EQ(area.MoveSelected(10, 21), 0);
  EXPECT_EQ(area.MoveSelected(-1, 10), 0);
  EXPECT_EQ(area.MoveSelected(6, 6), 0);  // covers the OSC's bottom-right cell
  EXPECT_EQ(area.MoveSelected(4, 4), 0);  // another module's anchor
  EXPECT_EQ(area.ModuleAt(10, 10), module);

  EXPECT_EQ(area.MoveSelected(11, 10), 1);  // onto part of its old place
  EXPECT_EQ(area.ModuleAt(10, 10), nullptr);
  EXPECT_EQ(area.ModuleAt(11, 10), module);
  EXPECT_EQ(module->posX, 11);
  EXPECT_EQ(module->posY, 10);
  EXPECT_EQ(area.CursorX(), 11);
  EXPECT_EQ(area.ModuleCovering(10, 10), nullptr);
  EXPECT_EQ(area.ModuleCovering(13, 12), module);

  EXPECT_EQ(area.MoveSelected(7, 7), 1);
  EXPECT_EQ(area.ModuleCovering(13, 12), nullptr);
  EXPECT_EQ(area.ModuleCovering(9, 9), module);

  area.Select(20, 20);  // free cell: nothing selected
  EXPECT_EQ(area.MoveSelected(30, 5), 0);
}

TEST_F(PatchAreaTest, BeginConnectionNeedsAnExistingOutput) {
  PatchArea area;
  Place(area, 0, 0, kOSC);
  Place(area, 5, 0, kCNT);
  Place(area, 10, 0, kOUT);
  area.Select(0, 0);
  EXPECT_EQ(area.BeginConnection(1), 0);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
  EXPECT_EQ(area.BeginConnection(4), 1);
  EXPECT_EQ(area.ConnectSourceOutput(), 4);
  area.Select(5, 0);
  for (int32_t o = 0; o < 5; ++o) EXPECT_EQ(area.BeginConnection(o), 1) << o;
  EXPECT_EQ(area.BeginConnection(5), 0);
  EXPECT_EQ(area.BeginConnection(-1), 0);
  area.Select(10, 0);
  EXPECT_EQ(area.BeginConnection(0), 0);
  area.Select(20, 10);
  EXPECT_EQ(area.BeginConnection(0), 0);
  EXPECT_EQ(area.ConnectSourceX(), 5);
  EXPECT_EQ(area.ConnectSourceOutput(), 4);
}

TEST_F(PatchAreaTest, CompleteConnectionRecordsAndMakesTheWire) {
  PatchArea area;
  BlockModule* osc = Place(area, 0, 0, kOSC);
  BlockModule* out = Place(area, 4, 0, kOUT);
  area.Select(4, 0);
  EXPECT_EQ(area.CompleteConnection(1), 0);  // no source chosen yet
  Wire(area, 0, 0, 0, 4, 0, 1);
  EXPECT_EQ(InputWord(out, 1), osc->dspBlock + kOutput);
  EXPECT_EQ(out->inputSource[1], osc);
  EXPECT_EQ(out->inputSourceX[1], 0);
  EXPECT_EQ(out->inputSourceY[1], 0);
  EXPECT_EQ(out->inputSourceOutput[1], 0);
  EXPECT_EQ(area.IsSelectedInputConnected(1), 1);
  EXPECT_EQ(area.IsSelectedInputConnected(2), 0);
  EXPECT_EQ(area.IsSelectedInputConnected(5), 0);
  // The source stays chosen: one output feeds several inputs in a row.
  EXPECT_EQ(area.CompleteConnection(2), 1);
  EXPECT_EQ(InputWord(out, 2), osc->dspBlock + kOutput);
  EXPECT_EQ(area.CompleteConnection(5), 0);
  EXPECT_EQ(area.CompleteConnection(-1), 0);

  EXPECT_EQ(area.DisconnectSelectedInput(1), 1);
  EXPECT_EQ(area.IsSelectedInputConnected(1), 0);
  EXPECT_EQ(InputWord(out, 1), out->dspBlock + kZeroSlot);
  area.Select(30, 10);
  EXPECT_EQ(area.DisconnectSelectedInput(2), 0);
  EXPECT_EQ(area.CompleteConnection(0), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchAreaTest, FailedWireIsNotRecorded) {
  PatchArea area;
  for (int32_t k = 0; k < 4; ++k) Place(area, 3 * k, 10, kDLY);
  BlockModule* osc = Place(area, 0, 0, kOSC);
  BlockModule* out = Place(area, 4, 0, kOUT);
  area.Select(0, 0);
  area.BeginConnection(0);
  // Retyped behind the wire source's back to a DLY that finds no buffer:
  // the module stays anchored, at type 0 without block.
  area.SetModuleAt(0, 0, kDLY);
  ASSERT_EQ(osc->dspBlock, -1);
  area.Select(4, 0);
  EXPECT_EQ(area.CompleteConnection(1), 1);
  EXPECT_EQ(area.IsSelectedInputConnected(1), 0);
  EXPECT_EQ(out->inputSourceOutput[1], -1);
  EXPECT_EQ(InputWord(out, 1), out->dspBlock + kZeroSlot);
  EXPECT_EQ(messages.Texts().back(), "Internal Varnotek Error: ConnectInput(*,i,i) failure");
}

TEST_F(PatchAreaTest, WireSourceFollowsItsModuleWhenMoved) {
  PatchArea area;
  BlockModule* osc = Place(area, 0, 0, kOSC);
  BlockModule* out = Place(area, 10, 0, kOUT);
  Wire(area, 0, 0, 0, 10, 0, 0);
  area.Select(0, 0);
  area.BeginConnection(4);
  ASSERT_EQ(area.MoveSelected(0, 5), 1);
  EXPECT_EQ(area.ConnectSourceX(), 0);
  EXPECT_EQ(area.ConnectSourceY(), 5);
  area.Select(10, 0);
  EXPECT_EQ(area.CompleteConnection(1), 1);
  EXPECT_EQ(InputWord(out, 1), osc->dspBlock + kOutput + 4);
  EXPECT_EQ(out->inputSourceY[1], 5);
  // The earlier wire moved with the module; its recorded position did not.
  EXPECT_EQ(InputWord(out, 0), osc->dspBlock + kOutput);
  EXPECT_EQ(out->inputSourceY[0], 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchAreaTest, DeletingAModuleUnwiresWhatItFed) {
  PatchArea area;
  Place(area, 0, 0, kADD);
  BlockModule* add = area.ModuleAt(0, 0);
  BlockModule* env = Place(area, 5, 0, kENV);
  Wire(area, 0, 0, 0, 5, 0, 1);
  Wire(area, 0, 0, 0, 5, 0, 4);
  Wire(area, 5, 0, 0, 0, 0, 0);  // the ENV feeds the ADD back; the source is now the ENV
  area.Select(0, 0);
  area.BeginConnection(0);
  ASSERT_EQ(area.ConnectSourceX(), 0);
  ASSERT_EQ(area.ReplaceSelected(kNoModule), 1);
  EXPECT_EQ(area.ModuleAt(0, 0), nullptr);
  EXPECT_EQ(area.ModuleCovering(2, 2), nullptr);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
  EXPECT_EQ(area.ConnectSourceX(), -1);
  for (int32_t i : {1, 4}) {
    EXPECT_EQ(env->inputSource[i], nullptr);
    EXPECT_EQ(env->inputSourceOutput[i], -1);
    EXPECT_EQ(InputWord(env, i), env->dspBlock + DefaultInputSource(kENV, i));
  }
  (void)add;
}

TEST_F(PatchAreaTest, RetypingUnwiresBothDirectionsButKeepsThePlace) {
  PatchArea area;
  BlockModule* osc = Place(area, 0, 0, kOSC);
  BlockModule* vca = Place(area, 4, 0, kVCA);
  BlockModule* out = Place(area, 8, 0, kOUT);
  Wire(area, 0, 0, 0, 4, 0, 0);
  Wire(area, 4, 0, 0, 8, 0, 1);
  const int32_t block = vca->dspBlock;
  area.Select(4, 0);
  ASSERT_EQ(area.ReplaceSelected(kFLT), 1);
  EXPECT_EQ(area.ModuleAt(4, 0), vca);
  EXPECT_EQ(vca->dspBlock, block);
  EXPECT_EQ(vca->type, kFLT);
  EXPECT_EQ(vca->inputSource[0], nullptr);
  EXPECT_EQ(out->inputSource[1], nullptr);
  EXPECT_EQ(InputWord(out, 1), out->dspBlock + kZeroSlot);
  EXPECT_EQ(area.GetSelectedType(), kFLT);
  (void)osc;
}

TEST_F(PatchAreaTest, ReplaceSelectedOnAnEmptyCellForgetsOnlyAStaleSource) {
  PatchArea area;
  Place(area, 6, 6, kOSC);
  area.Select(6, 6);
  area.BeginConnection(0);
  area.SetModuleAt(6, 6, kNoModule);  // deleted without the wire source being told
  EXPECT_EQ(area.ConnectSourceOutput(), 0);
  EXPECT_EQ(area.ReplaceSelected(kNoModule), 1);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
  EXPECT_EQ(CountModules(area), 0);
}

TEST_F(PatchAreaTest, NewModulesAreRefusedWhereTheyDoNotFit) {
  PatchArea area;
  for (int32_t k = 0; k < 37; ++k) area.CursorRight();  // column 37: arrow keys reach every cell
  EXPECT_EQ(area.ReplaceSelected(kOSC), 0);
  for (int32_t k = 0; k < 37; ++k) area.CursorLeft();
  BlockModule* osc = Place(area, 0, 0, kOSC);
  area.CursorRight();  // (1, 0): covered, not an anchor
  EXPECT_EQ(area.ReplaceSelected(kVCA), 0);
  EXPECT_EQ(area.ModuleAt(1, 0), nullptr);
  EXPECT_EQ(area.ModuleCovering(1, 0), osc);

  struct Case {
    int32_t column, row;
  };
  for (const Case& c : {Case{2, 2}, Case{37, 0}, Case{0, 21}, Case{-1, 0}, Case{40, 0}, Case{0, 24}})
    EXPECT_EQ(area.SetModuleAt(c.column, c.row, kVCA), 0) << c.column << "," << c.row;
  EXPECT_EQ(area.SetModuleAt(3, 0, 36), 0);
  EXPECT_EQ(area.SetModuleAt(3, 0, -1), 0);
  EXPECT_EQ(CountModules(area), 1);
  EXPECT_EQ(area.ModuleCovering(2, 2), osc);
  // Retyping and deleting the anchored module stay possible.
  EXPECT_EQ(area.SetModuleAt(0, 0, kVCA), 1);
  EXPECT_EQ(osc->type, kVCA);
  EXPECT_EQ(area.SetModuleAt(3, 0, kVCA), 1);
  EXPECT_EQ(area.SetModuleAt(0, 0, kNoModule), 1);
  EXPECT_EQ(area.SetModuleAt(0, 0, kNoModule), 1);  // nothing there: nothing to do
  EXPECT_EQ(CountModules(area), 1);
}

TEST_F(PatchAreaTest, GridHoldsAtMost91Modules) {
  PatchArea area;
  for (int32_t row = 0; row <= 20; row += 3)
    for (int32_t column = 0; column <= 36; column += 3) ASSERT_EQ(area.SetModuleAt(column, row, kVCA), 1);
  EXPECT_EQ(CountModules(area), 13 * 7);
  for (int32_t row = 0; row < kGridRows; ++row)
    for (int32_t column = 0; column < kGridColumns; ++column) {
      if (area.ModuleAt(column, row) != nullptr) continue;
      EXPECT_EQ(area.SetModuleAt(column, row, kVCA), 0) << column << "," << row;
      EXPECT_EQ(area.Select(column, row), area.ModuleCovering(column, row) != nullptr ? 1 : 0);
    }
  area.Clear();
  EXPECT_EQ(CountModules(area), 0);
  EXPECT_EQ(CountFreeBlocks(), 1024);
  EXPECT_EQ(RenderListHead.load(), -1);
  EXPECT_EQ(area.ModuleCovering(39, 23), nullptr);
}

TEST_F(PatchAreaTest, ClearReturnsBlocksBuffersAndResetsCursorAndSource) {
  PatchArea area;
  Place(area, 0, 0, kDLY);
  Place(area, 4, 4, kDRM);
  Place(area, 8, 8, kOSC);
  area.BeginConnection(0);
  area.Clear();
  EXPECT_EQ(CountModules(area), 0);
  EXPECT_EQ(CountFreeBlocks(), 1024);
  EXPECT_EQ(DelayBufAvailable(), 1);
  EXPECT_EQ(delayBufInUse[0], 0);
  EXPECT_EQ(drumBufInUse, 0);
  EXPECT_EQ(area.CursorX(), 0);
  EXPECT_EQ(area.CursorY(), 0);
  EXPECT_EQ(area.ConnectSourceX(), -1);
  EXPECT_EQ(area.ConnectSourceY(), -1);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
}

TEST_F(PatchAreaTest, WithoutASelectedModuleTheDelegatesRefuse) {
  PatchArea area;
  area.SetModuleAt(0, 0, kOSC);
  area.Select(20, 10);
  EXPECT_EQ(area.GetSelectedType(), kNoModule);
  EXPECT_EQ(area.GetSelectedMode(), 0);
  EXPECT_EQ(area.SetSelectedMode(1), 0);
  EXPECT_EQ(area.GetSelectedController(0), 0);
  area.SetSelectedController(0, 5);
  area.OpenSelectedEditWindow(nullptr);
  area.Select(1, 1);  // a covered cell selects the module at its anchor
  EXPECT_EQ(area.GetSelectedType(), kOSC);
  EXPECT_EQ(area.GetSelectedController(0), 22000);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
