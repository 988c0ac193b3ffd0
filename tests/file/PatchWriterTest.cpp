// The writer's exact text, and the example patch read back into the patch it
// describes and written out again unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PatchFileTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

const char kExample[] =
    "FILETYPE PCH\n"
    "PROGRAM VARNOTEK\n"
    "VERSION 1.01\n"
    "NAME C:\\patches\\demo.pch\n"
    "{{{PATCH\n"
    "PATCHSIZE 40,24\n"
    "{{{MODULE 0,0,OSC\n"
    "CONTROLLERS 22000,0,0,32767,0,0\n"
    "MODE 256\n"
    "}}}MODULE\n"
    "{{{MODULE 4,0,OUT\n"
    "CONTROLLERS 0,0,0,26000,0,0\n"
    "INPUT 1,0,0,0\n"
    "}}}MODULE\n"
    "{{{MODULE 8,0,SEQ\n"
    "CONTROLLERS 0,0,0,0,0,0\n"
    "SEQSTEPS 0,4096,8192,4096,0,4096,8192,4096,0,0,0,0,0,0,0,0\n"
    "}}}MODULE\n"
    "}}}PATCH\n";

const int32_t kExampleSteps[16] = {0, 4096, 8192, 4096, 0, 4096, 8192, 4096, 0, 0, 0, 0, 0, 0, 0, 0};

using PatchWriterTest = PatchFileTest;

void SetPath(PatchArea& area, const char* path) { std::snprintf(area.filePath, sizeof(area.filePath), "%s", path); }

TEST_F(PatchWriterTest, ExamplePatchBuiltByHandIsWrittenExactly) {
  PatchArea area;
  SetPath(area, "C:\\patches\\demo.pch");
  area.SetModuleAt(0, 0, kOSC);
  area.SetModuleAt(4, 0, kOUT);
  area.SetModuleAt(8, 0, kSEQ);
  area.Select(0, 0);
  area.BeginConnection(0);
  area.Select(4, 0);
  area.CompleteConnection(1);
  const BlockModule* seq = area.ModuleAt(8, 0);
  for (int32_t s = 0; s < 16; ++s) DspMemory.Store(seq->dspBlock + kStep + s, kExampleSteps[s]);
  EXPECT_EQ(SaveToText(area), kExample);
}

TEST_F(PatchWriterTest, ExampleFileLoadsIntoThePatchItDescribes) {
  PatchArea area;
  EXPECT_EQ(LoadText(area, kExample), LoadResult::Loaded);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(CountModules(area), 3);
  const BlockModule* osc = area.ModuleAt(0, 0);
  const BlockModule* out = area.ModuleAt(4, 0);
  const BlockModule* seq = area.ModuleAt(8, 0);
  ASSERT_TRUE(osc && out && seq);
  EXPECT_EQ(osc->type, kOSC);
  EXPECT_EQ(osc->mode, 256);
  EXPECT_EQ(Word(osc->dspBlock + kOpcode), 37);
  EXPECT_EQ(out->type, kOUT);
  EXPECT_EQ(out->inputSource[1], osc);
  EXPECT_EQ(out->inputSourceOutput[1], 0);
  EXPECT_EQ(Word(out->dspBlock + kInput + 1), osc->dspBlock + kOutput);
  EXPECT_EQ(out->GetController(3), 26000);
  EXPECT_EQ(seq->type, kSEQ);
  for (int32_t s = 0; s < 16; ++s) EXPECT_EQ(Word(seq->dspBlock + kStep + s), kExampleSteps[s]) << s;
  // Saved under the name it was loaded from, it is the same text.
  SetPath(area, "C:\\patches\\demo.pch");
  EXPECT_EQ(SaveToText(area), kExample);
}

TEST_F(PatchWriterTest, DrumBanksAreWrittenOnlyWhenNotEmpty) {
  PatchArea area;
  area.SetModuleAt(0, 3, kDRM);
  SetDrumByte(DrumByteOffset(0, 0, 0, 0), 1);
  SetDrumByte(DrumByteOffset(0, 0, 3, 63), 200);  // written back as the signed byte
  SetDrumByte(DrumByteOffset(0, 31, 2, 5), 1);
  const std::string text = SaveToText(area);

  auto track = [](int32_t t, int32_t bank, int32_t firstValue, int32_t at, int32_t value) {
    std::string line = "TRACK " + std::to_string(t) + "," + std::to_string(bank) + " ";
    for (int32_t s = 0; s < 64; ++s) {
      if (s > 0) line += ",";
      line += std::to_string(s == at ? value : (s == 0 ? firstValue : 0));
    }
    return line + "\n";
  };
  const std::string expected = std::string("FILETYPE PCH\nPROGRAM VARNOTEK\nVERSION 1.01\nNAME \n{{{PATCH\n") +
                               "PATCHSIZE 40,24\n{{{MODULE 0,3,DRM\nCONTROLLERS 0,0,0,0,0,0\n" + track(0, 0, 1, 0, 1) +
                               track(1, 0, 0, 0, 0) + track(2, 0, 0, 0, 0) + track(3, 0, 0, 63, -56) +
                               track(0, 31, 0, 0, 0) + track(1, 31, 0, 0, 0) + track(2, 31, 0, 5, 1) +
                               track(3, 31, 0, 0, 0) + "}}}MODULE\n}}}PATCH\n";
  EXPECT_EQ(text, expected);
}

TEST_F(PatchWriterTest, WiresNameTheSourcesWhereTheyStandNow) {
  PatchArea area;
  area.SetModuleAt(0, 0, kCNT);
  area.SetModuleAt(10, 0, kOUT);
  area.Select(0, 0);
  area.BeginConnection(3);
  area.Select(10, 0);
  area.CompleteConnection(4);
  area.Select(0, 0);
  ASSERT_EQ(area.MoveSelected(20, 12), 1);
  const std::string text = SaveToText(area);
  EXPECT_NE(text.find("{{{MODULE 10,0,OUT\nCONTROLLERS 0,0,0,26000,0,0\nINPUT 4,20,12,3\n}}}MODULE\n"),
            std::string::npos)
      << text;

  PatchArea loaded;
  ASSERT_EQ(LoadText(loaded, text), LoadResult::Loaded);
  EXPECT_EQ(loaded.ModuleAt(10, 0)->inputSource[4], loaded.ModuleAt(20, 12));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchWriterTest, ModulesLeftWithoutATypeAreNotWritten) {
  PatchArea area;
  area.SetModuleAt(0, 0, kDRM);
  area.SetModuleAt(4, 0, kDRM);  // no second drum buffer: anchored at type 0
  ASSERT_NE(area.ModuleAt(4, 0), nullptr);
  const std::string text = SaveToText(area);
  EXPECT_EQ(text.find("{{{MODULE 4,0"), std::string::npos);
  EXPECT_NE(text.find("{{{MODULE 0,0,DRM"), std::string::npos);
}

}  // namespace
