// The writer's exact text, and the example patch read back into the patch it
// describes and written out again unchanged. Drum banks are in the fixtures.

#include "PatchFileTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

const int32_t kExampleSteps[16] = {0, 4096, 8192, 4096, 0, 4096, 8192, 4096, 0, 0, 0, 0, 0, 0, 0, 0};
const std::string kExample = ReadWholeFile(std::string(VARNOTEK_PATCH_FIXTURES) + "/example.pch");

using PatchWriterTest = PatchModelTest;

TEST_F(PatchWriterTest, ExamplePatchBuiltByHandIsWrittenExactly) {
  PatchArea area;
  SetPath(area, "C:\\patches\\demo.pch");
  for (const auto& [column, type] : {std::pair{0, kOSC}, {4, kOUT}, {8, kSEQ}}) area.SetModuleAt(column, 0, type);
  Connect(area, 0, 0, 0, 4, 0, 1);
  for (int32_t s = 0; s < 16; ++s) DspMemory.Store(area.ModuleAt(8, 0)->dspBlock + kStep + s, kExampleSteps[s]);
  EXPECT_EQ(SaveToText(area), kExample);
}

TEST_F(PatchWriterTest, ExampleFileLoadsIntoThePatchItDescribes) {
  PatchArea area;
  SetPath(area, std::string(VARNOTEK_PATCH_FIXTURES) + "/example.pch");
  area.LoadPatch(&ownerWindow);
  EXPECT_EQ(area.lastLoadResult, LoadResult::Loaded);
  EXPECT_TRUE(messages.shown.empty());
  const BlockModule *osc = area.ModuleAt(0, 0), *out = area.ModuleAt(4, 0);
  ASSERT_TRUE(osc && out);
  EXPECT_EQ(Word(osc->dspBlock + kOpcode), 37);
  EXPECT_EQ(out->inputSource[1], osc);
  EXPECT_EQ(Word(out->dspBlock + kInput + 1), osc->dspBlock + kOutput);
  // Saved under the name it was loaded from, it is the same text.
  SetPath(area, "C:\\patches\\demo.pch");
  EXPECT_EQ(SaveToText(area), kExample);
}

TEST_F(PatchWriterTest, WiresNameTheSourcesWhereTheyStandNow) {
  std::string text;
  {
    PatchArea area;
    // The second DRM finds no drum buffer: anchored at type 0, and not written.
    for (const auto& [column, type] : {std::pair{0, kCNT}, {10, kOUT}, {20, kDRM}, {24, kDRM}}) area.SetModuleAt(column, 0, type);
    ASSERT_NE(area.ModuleAt(24, 0), nullptr);
    Connect(area, 0, 0, 3, 10, 0, 4);
    area.Select(0, 0);
    ASSERT_EQ(area.MoveSelected(20, 12), 1);
    text = SaveToText(area);
  }
  EXPECT_NE(text.find("{{{MODULE 10,0,OUT\nCONTROLLERS 0,0,0,26000,0,0\nINPUT 4,20,12,3\n}}}MODULE\n{{{MODULE 20,0,DRM"
                      "\nCONTROLLERS 0,0,0,0,0,0\n}}}MODULE\n{{{MODULE 20,12,CNT\n"),
            std::string::npos)
      << text;
  messages.shown.clear();
  PatchArea loaded;
  ASSERT_EQ(LoadText(loaded, text), LoadResult::Loaded);
  EXPECT_EQ(loaded.ModuleAt(10, 0)->inputSource[4], loaded.ModuleAt(20, 12));
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
