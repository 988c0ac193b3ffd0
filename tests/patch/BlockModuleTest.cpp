// BlockModule: the words it writes into its DSPBlock, pool buffers, refusals
// and their messages, and the pattern edit window.

#include <memory>

#include "PatchTestSupport.h"
#include "dsp/Pools.h"
#include "patch/BlockModule.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;
using BlockModuleTest = PatchModelTest;
using Words = std::vector<int32_t>;

// Type, mode, opcode, range shift, controllers 0..5, then each input's word as an offset from the block.
Words State(const BlockModule& m) {
  Words s{m.type, m.mode, Word(m.dspBlock + kOpcode), Word(m.dspBlock + kRangeShift)};
  for (int32_t c = 0; c < 6; ++c) s.push_back(Word(m.dspBlock + kController + c));
  for (int32_t i = 0; i < 5; ++i) s.push_back(Word(m.dspBlock + kInput + i) - m.dspBlock);
  return s;
}

TEST_F(BlockModuleTest, NewModulesTakeTheirTypeDefaults) {
  BlockModule osc(kOSC), none(36);  // a type outside the catalogue is taken as none
  EXPECT_EQ(State(osc), (Words{kOSC, 256, 37, 0, 22000, 0, 0, 32767, 0, 0, 35, 35, 3, 4, 35}));
  EXPECT_TRUE(Unwired(osc));
  EXPECT_TRUE(Unwired(none));
  EXPECT_EQ((Words{none.type, none.dspBlock, none.posX, none.posY}), (Words{kNoModule, -1, -1, -1}));
  // Controller values outside 16 bits and indexes outside 0..5 are dropped;
  // the word after the controllers is untouched.
  for (const auto& [c, value] : {std::pair{2, 32768}, {2, -32769}, {6, 1}, {-1, 1}, {0, -32768}, {5, 32767}})
    osc.SetController(c, value);
  EXPECT_EQ((Words{osc.GetController(0), osc.GetController(2), osc.GetController(5), Word(osc.dspBlock + 6),
                   osc.GetController(6), osc.GetController(-1)}),
            (Words{-32768, 0, 32767, 0, 0, 0}));
}

TEST_F(BlockModuleTest, ModeSetsWaveformRangeAndFilter) {
  BlockModule osc(kOSC), flt(kFLT), vca(kVCA);
  // In order: given mode, result, mode, opcode, range shift. A refused OSC
  // waveform keeps mode and opcode, but the range still follows the value.
  const std::pair<BlockModule*, Words> steps[] = {
      {&osc, {261, 1, 261, 42, 0}}, {&osc, {5, 1, 5, 42, 8}}, {&osc, {262, 1, 5, 42, 0}}, {&osc, {6, 1, 5, 42, 8}},
      {&osc, {-1, 1, 5, 42, 0}},    {&osc, {2, 1, 2, 39, 8}}, {&flt, {2, 1, 2, 45, 0}},   {&flt, {3, 1, 2, 45, 0}},
      {&flt, {-1, 1, 2, 45, 0}},    {&vca, {1, 0, 0, 4, 0}}};
  for (const auto& [m, s] : steps) {
    const int32_t result = m->SetMode(s[0]);
    EXPECT_EQ((Words{s[0], result, m->mode, Word(m->dspBlock + kOpcode), Word(m->dspBlock + kRangeShift)}), s);
  }
}

TEST_F(BlockModuleTest, ConnectAndDisconnect) {
  BlockModule source(kCNT), target(kOSC), blockless(kNoModule);
  const std::tuple<BlockModule*, int32_t, int32_t> refused[] = {{&source, 5, 0},  {&source, -1, 0}, {&source, 0, 5},
                                                                {&source, 0, -1}, {nullptr, 0, 0},  {&blockless, 0, 0}};
  for (const auto& [from, output, input] : refused) EXPECT_EQ(target.ConnectInput(from, output, input), 0);
  EXPECT_EQ(blockless.ConnectInput(&source, 0, 0), 0);
  EXPECT_TRUE(Unwired(target));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>(7, "Internal Varnotek Error: ConnectInput(*,i,i) failure"));

  EXPECT_EQ((Words{target.ConnectInput(&source, 4, 2), target.ConnectInput(&source, 0, 0)}), (Words{1, 1}));
  EXPECT_EQ(State(target)[12] + target.dspBlock, source.dspBlock + kOutput + 4);
  EXPECT_EQ(State(target)[10] + target.dspBlock, source.dspBlock + kOutput);
  EXPECT_EQ(target.inputSource[2], &source);
  EXPECT_EQ(target.inputSourceOutput[2], -1);  // the recorded fields are the caller's business
  target.inputSourceOutput[2] = target.inputSourceX[2] = target.inputSourceY[2] = 4;
  EXPECT_EQ((Words{target.DisConnectInput(2), target.DisConnectInput(0), target.DisConnectInput(5),
                   target.DisConnectInput(-1)}),
            (Words{1, 1, 0, 0}));
  EXPECT_TRUE(Unwired(target));
  EXPECT_EQ(messages.Texts().at(8), "Internal Varnotek Error: DisConnectInput(i) failure");
}

TEST_F(BlockModuleTest, RetypingKeepsTheBlockAndWritesTheNewDefaults) {
  BlockModule source(kCNT), osc(kOSC);
  for (int32_t i = 0; i < 5; ++i) osc.ConnectInput(&source, i, i);
  osc.SetMode(5);
  const int32_t block = osc.dspBlock;
  osc.SetBlockType(kVCA);
  EXPECT_EQ(osc.dspBlock, block);
  EXPECT_EQ(State(osc), (Words{kVCA, 0, 4, 0, 0, 0, 0, 0, 0, 0, 35, 35, 35, 35, 35}));
  EXPECT_TRUE(Unwired(osc));
  EXPECT_EQ(RenderListHead.load(), block);  // its place in the render list stays
}

TEST_F(BlockModuleTest, TypeZeroAndTheDestructorReturnBlockAndBuffers) {
  auto drm = std::make_unique<BlockModule>(kDRM);
  BlockModule dly(kDLY), source(kCNT);
  dly.ConnectInput(&source, 0, 1);
  const int32_t block = dly.dspBlock;
  EXPECT_EQ(delayBufInUse[0] + drumBufInUse, 2);
  dly.SetBlockType(kNoModule);
  EXPECT_EQ((Words{dly.type, dly.dspBlock, delayBufInUse[0], FreeListHead, Word(block + kOpcode)}),
            (Words{kNoModule, -1, 0, block, 0}));
  EXPECT_TRUE(Unwired(dly));
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(Word(block + kInput + i), block + kZeroSlot);
  drm.reset();
  EXPECT_EQ(drumBufInUse, 0);
  EXPECT_EQ(RenderListHead.load(), source.dspBlock);
}

TEST_F(BlockModuleTest, PoolBuffersAreNeverShared) {
  // One flanger by its name, so that the number behind kFLA is checked too.
  BlockModule a(kDLY), b(TypeOfName("FLA")), c(kFLA), d(kDLY), drum(kDRM);
  EXPECT_EQ(Word(d.dspBlock + kBufferNumber), 3);
  b.SetBlockType(kDLY);  // finds its own buffer free again
  drum.SetBlockType(kDRM);
  EXPECT_EQ((Words{b.type, drum.type, Word(b.dspBlock + kBufferNumber)}), (Words{kDLY, kDRM, 1}));
  // A fifth delay or flanger and a second drum player are refused.
  BlockModule osc(kOSC), fla(kFLA), drum2(kDRM);
  osc.SetBlockType(kDLY);
  EXPECT_EQ((Words{osc.type, osc.dspBlock, fla.type, drum2.type}), (Words{kNoModule, -1, kNoModule, kNoModule}));
  const std::string no = "Internal Varnotek Error: No ", failed = " buffers available, SetBlockType assignment failed";
  EXPECT_EQ(messages.Texts(),
            (std::vector{no + "Delay/Flanger" + failed, no + "DrumPattern" + failed, no + "Delay/Flanger" + failed}));
}

std::vector<WindowHandle> destroyedWindows;
char fakeWindows[8];
int32_t openedWindows = 0;

TEST_F(BlockModuleTest, OnlyPatternModulesOpenOneEditWindowClosedOnRetype) {
  // Edit windows as a platform adapter would make them: distinct fake handles.
  destroyedWindows.clear(), openedWindows = 0;
  destroyWindowHandler = [](WindowHandle window) { destroyedWindows.push_back(window); };
  openPatternEditWindow = [](BlockModule& m, WindowHandle) { m.editWindow = &fakeWindows[openedWindows++]; };
  int parent = 0;
  BlockModule seq(kSEQ), drm(kDRM), osc(kOSC);
  for (BlockModule* m : {&seq, &seq, &drm, &osc}) m->OpenEditWindow(&parent);
  seq.SetBlockType(kVCA);
  EXPECT_EQ((std::vector<void*>{seq.editWindow, drm.editWindow, osc.editWindow}),
            (std::vector<void*>{nullptr, &fakeWindows[1], nullptr}));
  EXPECT_EQ(destroyedWindows, std::vector<WindowHandle>{&fakeWindows[0]});
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"VARNOTEK: InternalError in BlockModule::OpenEditWindow()"});
  EXPECT_EQ(messages.shown[0].owner, &parent);
  destroyWindowHandler = nullptr, openPatternEditWindow = nullptr;
}

}  // namespace
