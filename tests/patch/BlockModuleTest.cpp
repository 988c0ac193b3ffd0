// BlockModule: the words it writes into its DSPBlock, the order of
// SetBlockType, pool buffers, refusals and their messages, edit windows.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PatchTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "patch/BlockModule.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

const char kConnectFailure[] = "Internal Varnotek Error: ConnectInput(*,i,i) failure";
const char kNoDelayBuffer[] =
    "Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed";
const char kNoDrumBuffer[] =
    "Internal Varnotek Error: No DrumPattern buffers available, SetBlockType assignment failed";

using BlockModuleTest = PatchModelTest;

int32_t Opcode(const BlockModule& m) { return Word(m.dspBlock + kOpcode); }
int32_t InputWord(const BlockModule& m, int32_t i) { return Word(m.dspBlock + kInput + i); }

void ExpectInputsAtDefaults(const BlockModule& m) {
  for (int32_t i = 0; i < kModuleInputCount; ++i) {
    EXPECT_EQ(InputWord(m, i), m.dspBlock + DefaultInputSource(m.type, i)) << i;
    EXPECT_EQ(m.inputSource[i], nullptr) << i;
    EXPECT_EQ(m.inputSourceOutput[i], -1) << i;
    EXPECT_EQ(m.inputSourceX[i], -1) << i;
    EXPECT_EQ(m.inputSourceY[i], -1) << i;
  }
}

TEST_F(BlockModuleTest, NewOscillatorTakesItsDefaults) {
  BlockModule osc(kOSC);
  ASSERT_GE(osc.dspBlock, 0);
  EXPECT_EQ(osc.type, kOSC);
  EXPECT_EQ(osc.mode, 256);
  EXPECT_EQ(Opcode(osc), 37);
  const int32_t controllers[] = {22000, 0, 0, 32767, 0, 0};
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(osc.GetController(c), controllers[c]) << c;
  const int32_t b = osc.dspBlock;
  const int32_t inputs[] = {b + 35, b + 35, b + 3, b + 4, b + 35};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(InputWord(osc, i), inputs[i]) << i;
  EXPECT_EQ(Word(b + kRangeShift), 0);
  EXPECT_EQ(osc.editWindow, nullptr);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BlockModuleTest, OscillatorModeSetsWaveformAndRange) {
  struct Step {
    int32_t given;
    int32_t mode;
    int32_t opcode;
    int32_t rangeShift;
  };
  // Applied in order to one module: a refused waveform keeps mode and opcode,
  // but the range still follows the given value.
  const Step steps[] = {{261, 261, 42, 0}, {5, 5, 42, 8},    {262, 5, 42, 0}, {6, 5, 42, 8},
                        {256, 256, 37, 0}, {-1, 256, 37, 0}, {2, 2, 39, 8}};
  BlockModule osc(kOSC);
  for (const Step& s : steps) {
    EXPECT_EQ(osc.SetMode(s.given), 1) << s.given;
    EXPECT_EQ(osc.mode, s.mode) << s.given;
    EXPECT_EQ(Opcode(osc), s.opcode) << s.given;
    EXPECT_EQ(Word(osc.dspBlock + kRangeShift), s.rangeShift) << s.given;
  }
}

TEST_F(BlockModuleTest, FilterModeAndModelessTypes) {
  BlockModule flt(kFLT);
  EXPECT_EQ(Opcode(flt), 43);
  EXPECT_EQ(flt.SetMode(2), 1);
  EXPECT_EQ(Opcode(flt), 45);
  EXPECT_EQ(flt.SetMode(3), 1);
  EXPECT_EQ(flt.SetMode(-1), 1);
  EXPECT_EQ(flt.mode, 2);
  EXPECT_EQ(Opcode(flt), 45);

  BlockModule vca(kVCA);
  EXPECT_EQ(vca.SetMode(1), 0);
  EXPECT_EQ(vca.mode, 0);
  EXPECT_EQ(Opcode(vca), 4);
}

TEST_F(BlockModuleTest, ControllerRangeAndIndexAreChecked) {
  BlockModule vca(kVCA);
  vca.SetController(2, 40000);
  vca.SetController(2, -32769);
  vca.SetController(6, 1);
  vca.SetController(-1, 1);
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(vca.GetController(c), 0) << c;
  EXPECT_EQ(Word(vca.dspBlock + 6), 0);  // the word after the controllers is untouched
  vca.SetController(0, -32768);
  vca.SetController(5, 32767);
  EXPECT_EQ(vca.GetController(0), -32768);
  EXPECT_EQ(vca.GetController(5), 32767);
  EXPECT_EQ(vca.GetController(6), 0);
  EXPECT_EQ(vca.GetController(-1), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BlockModuleTest, ConnectInputRefusalsShowTheirMessageAndChangeNothing) {
  BlockModule source(kCNT);
  BlockModule target(kVCA);
  BlockModule blockless(kNoModule);
  struct Case {
    BlockModule* source;
    int32_t output;
    int32_t input;
  };
  const Case refused[] = {{&source, 5, 0},  {&source, -1, 0}, {&source, 0, 5},
                          {&source, 0, -1}, {nullptr, 0, 0},  {&blockless, 0, 0}};
  for (const Case& c : refused) {
    EXPECT_EQ(target.ConnectInput(c.source, c.output, c.input), 0);
    ExpectInputsAtDefaults(target);
  }
  EXPECT_EQ(blockless.ConnectInput(&source, 0, 0), 0);
  ASSERT_EQ(messages.shown.size(), 7u);
  for (const ShownMessage& m : messages.shown) {
    EXPECT_EQ(m.text, kConnectFailure);
    EXPECT_EQ(m.icon, MessageIcon::None);
    EXPECT_EQ(m.owner, nullptr);
  }
}

TEST_F(BlockModuleTest, ConnectInputPointsAtTheSourceOutputWord) {
  BlockModule source(kCNT);
  BlockModule target(kOUT);
  EXPECT_EQ(target.ConnectInput(&source, 4, 3), 1);
  EXPECT_EQ(InputWord(target, 3), source.dspBlock + kOutput + 4);
  EXPECT_EQ(target.inputSource[3], &source);
  // The recorded fields are the caller's business.
  EXPECT_EQ(target.inputSourceOutput[3], -1);
  // A module may feed itself.
  EXPECT_EQ(source.ConnectInput(&source, 0, 4), 1);
  EXPECT_EQ(InputWord(source, 4), source.dspBlock + kOutput);
}

TEST_F(BlockModuleTest, DisConnectInputRestoresTheTypeDefault) {
  BlockModule source(kCNT);
  BlockModule osc(kOSC);
  osc.ConnectInput(&source, 0, 2);
  osc.inputSourceOutput[2] = 0;
  osc.inputSourceX[2] = 7;
  osc.inputSourceY[2] = 8;
  EXPECT_EQ(osc.DisConnectInput(2), 1);
  ExpectInputsAtDefaults(osc);
  EXPECT_EQ(InputWord(osc, 2), osc.dspBlock + 3);

  EXPECT_EQ(osc.DisConnectInput(5), 0);
  EXPECT_EQ(osc.DisConnectInput(-1), 0);
  ASSERT_EQ(messages.Texts(), (std::vector<std::string>{"Internal Varnotek Error: DisConnectInput(i) failure",
                                                        "Internal Varnotek Error: DisConnectInput(i) failure"}));
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
}

TEST_F(BlockModuleTest, RetypingKeepsTheBlockAndWritesTheNewDefaults) {
  BlockModule source(kCNT);
  BlockModule osc(kOSC);
  for (int32_t i = 0; i < 5; ++i) {
    osc.ConnectInput(&source, i, i);
    osc.inputSourceOutput[i] = i;
  }
  osc.SetMode(5);
  const int32_t block = osc.dspBlock;
  osc.SetBlockType(kVCA);
  EXPECT_EQ(osc.dspBlock, block);
  EXPECT_EQ(osc.type, kVCA);
  EXPECT_EQ(osc.mode, 0);
  ExpectInputsAtDefaults(osc);
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(osc.GetController(c), 0);
  EXPECT_EQ(Opcode(osc), 4);
  EXPECT_EQ(Word(block + kRangeShift), 0);
  EXPECT_EQ(RenderListHead.load(), block);  // its place in the render list stays
}

TEST_F(BlockModuleTest, KeptAndReusedBlocksKeepTheirStepWords) {
  auto seq = std::make_unique<BlockModule>(kSEQ);
  const int32_t block = seq->dspBlock;
  for (int32_t s = 0; s < 16; ++s) DspMemory.Store(block + kStep + s, 100 + s);
  seq->SetBlockType(kSEQ);
  EXPECT_EQ(Word(block + kStep + 15), 115);
  seq.reset();
  // The freed block is the next one handed out, steps and all.
  BlockModule again(kSEQ);
  EXPECT_EQ(again.dspBlock, block);
  EXPECT_EQ(Word(block + kStep + 3), 103);
}

TEST_F(BlockModuleTest, TypeZeroReturnsBlockAndDelayBuffer) {
  BlockModule dly(kDLY);
  const int32_t block = dly.dspBlock;
  const int32_t buffer = Word(block + kBufferNumber);
  EXPECT_EQ(buffer, 0);
  EXPECT_EQ(delayBufInUse[0], 1);
  dly.SetBlockType(kNoModule);
  EXPECT_EQ(dly.dspBlock, -1);
  EXPECT_EQ(dly.type, kNoModule);
  EXPECT_EQ(delayBufInUse[0], 0);
  EXPECT_EQ(FreeListHead, block);
  EXPECT_EQ(Word(block + kOpcode), 0);
  EXPECT_EQ(RenderListHead.load(), -1);
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(Word(block + kInput + i), block + kZeroSlot);
}

TEST_F(BlockModuleTest, DestructorReturnsEverything) {
  {
    BlockModule drm(kDRM);
    BlockModule fla(kFLA);
    EXPECT_EQ(drumBufInUse, 1);
    EXPECT_EQ(delayBufInUse[0], 1);
  }
  EXPECT_EQ(drumBufInUse, 0);
  EXPECT_EQ(delayBufInUse[0], 0);
  EXPECT_EQ(RenderListHead.load(), -1);
}

TEST_F(BlockModuleTest, EachDelayOrFlangerGetsItsOwnBuffer) {
  BlockModule a(kDLY), b(kFLA), c(kFLA), d(kDLY);
  EXPECT_EQ(Word(a.dspBlock + kBufferNumber), 0);
  EXPECT_EQ(Word(b.dspBlock + kBufferNumber), 1);
  EXPECT_EQ(Word(c.dspBlock + kBufferNumber), 2);
  EXPECT_EQ(Word(d.dspBlock + kBufferNumber), 3);
  // Retyping to the same kind finds its own buffer free again.
  b.SetBlockType(kDLY);
  EXPECT_EQ(b.type, kDLY);
  EXPECT_EQ(Word(b.dspBlock + kBufferNumber), 1);
  EXPECT_TRUE(messages.shown.empty());

  // A fifth, delay or flanger, is refused before the pool could hand out a shared buffer.
  for (ModuleType type : {kDLY, kFLA}) {
    BlockModule osc(kOSC);
    osc.SetBlockType(type);
    EXPECT_EQ(osc.type, kNoModule);
    EXPECT_EQ(osc.dspBlock, -1);
  }
  BlockModule created(kFLA);
  EXPECT_EQ(created.type, kNoModule);
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kNoDelayBuffer, kNoDelayBuffer, kNoDelayBuffer}));
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(messages.shown[0].owner, nullptr);
}

TEST_F(BlockModuleTest, SecondDrumPlayerIsRefused) {
  BlockModule first(kDRM);
  EXPECT_EQ(Word(first.dspBlock + kBufferNumber), 0);
  BlockModule second(kDRM);
  EXPECT_EQ(second.type, kNoModule);
  EXPECT_EQ(second.dspBlock, -1);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{kNoDrumBuffer});
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
  first.SetBlockType(kDRM);
  EXPECT_EQ(first.type, kDRM);
  EXPECT_EQ(messages.shown.size(), 1u);
}

// Edit windows as a platform adapter would make them: distinct fake handles.
std::vector<WindowHandle> destroyedWindows;
int32_t openedWindows = 0;
char fakeWindows[8];

void FakeDestroy(WindowHandle window) { destroyedWindows.push_back(window); }
void FakeOpen(BlockModule& module, WindowHandle) { module.editWindow = &fakeWindows[openedWindows++ % 8]; }

class EditWindowTest : public BlockModuleTest {
 protected:
  void SetUp() override {
    BlockModuleTest::SetUp();
    destroyedWindows.clear();
    openedWindows = 0;
    destroyWindowHandler = FakeDestroy;
    openPatternEditWindow = FakeOpen;
  }
  void TearDown() override {
    destroyWindowHandler = nullptr;
    openPatternEditWindow = nullptr;
  }
};

TEST_F(EditWindowTest, OpeningTwiceLeavesOneWindow) {
  BlockModule seq(kSEQ);
  seq.OpenEditWindow(nullptr);
  seq.OpenEditWindow(nullptr);
  EXPECT_EQ(openedWindows, 1);
  ASSERT_NE(seq.editWindow, nullptr);
  const WindowHandle window = seq.editWindow;
  seq.SetBlockType(kVCA);
  EXPECT_EQ(seq.editWindow, nullptr);
  EXPECT_EQ(destroyedWindows, std::vector<WindowHandle>{window});
}

TEST_F(EditWindowTest, OnlyPatternModulesHaveEditWindows) {
  int parent = 0;
  BlockModule drm(kDRM);
  drm.OpenEditWindow(&parent);
  EXPECT_NE(drm.editWindow, nullptr);
  BlockModule osc(kOSC);
  osc.OpenEditWindow(&parent);
  EXPECT_EQ(osc.editWindow, nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "VARNOTEK: InternalError in BlockModule::OpenEditWindow()");
  EXPECT_EQ(messages.shown[0].owner, &parent);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
}

// The message of a refused type is shown in step 4; by then the opcode must be
// 0, the edit window gone and the old buffer back in its pool.
TEST_F(EditWindowTest, SetBlockTypeStopsReleasesAndClosesBeforeTheAvailabilityTest) {
  BlockModule drm(kDRM);
  drm.OpenEditWindow(nullptr);
  BlockModule d0(kDLY), d1(kDLY), d2(kDLY), d3(kDLY);
  struct Seen {
    int32_t opcode;
    size_t destroyed;
    int32_t drumAvailable;
  } seen{-1, 0, 0};
  const int32_t block = drm.dspBlock;
  struct Context {
    Seen* seen;
    int32_t block;
  } context{&seen, block};
  SetMessageSink(
      [](void* c, void*, const char*, MessageIcon) {
        auto* ctx = static_cast<Context*>(c);
        *ctx->seen = {Word(ctx->block + kOpcode), destroyedWindows.size(), DRMBufferAvailable()};
      },
      &context);
  drm.SetBlockType(kDLY);
  SetMessageSink(nullptr, nullptr);
  EXPECT_EQ(seen.opcode, 0);
  EXPECT_EQ(seen.destroyed, 1u);
  EXPECT_EQ(seen.drumAvailable, 1);
  EXPECT_EQ(drm.type, kNoModule);
  EXPECT_EQ(drm.dspBlock, -1);
}

TEST_F(BlockModuleTest, WithoutABlockTheModuleKeepsItsTypeAndRefuses) {
  std::vector<int32_t> taken;
  for (int32_t b = ReserveDSPBlock(); b != -1; b = ReserveDSPBlock()) taken.push_back(b);
  ASSERT_EQ(taken.size(), 1024u);
  BlockModule osc(kOSC);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Reserve DSPBlock failure"});
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
  EXPECT_EQ(osc.type, kOSC);
  EXPECT_EQ(osc.mode, 256);
  EXPECT_EQ(osc.dspBlock, -1);
  EXPECT_EQ(osc.SetMode(1), 0);
  EXPECT_EQ(osc.GetController(0), 0);
  osc.SetController(0, 5);
  osc.inputSourceOutput[1] = 3;
  EXPECT_EQ(osc.DisConnectInput(1), 1);
  EXPECT_EQ(osc.inputSourceOutput[1], -1);
  for (int32_t b : taken) ReleaseDSPBlock(b);
}

TEST_F(BlockModuleTest, TypeOutsideTheCatalogueIsTakenAsNone) {
  BlockModule module(36);
  EXPECT_EQ(module.type, kNoModule);
  EXPECT_EQ(module.dspBlock, -1);
  BlockModule osc(kOSC);
  osc.SetBlockType(-5);
  EXPECT_EQ(osc.type, kNoModule);
  EXPECT_EQ(osc.dspBlock, -1);
}

}  // namespace
