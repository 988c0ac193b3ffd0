// Patches survive load -> save -> load: the same text and, rendered from the
// same engine start, the same sound. Also the file-level entries LoadPatch
// and SavePatch.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "PatchFileTestSupport.h"
#include "dsp/RenderBuffer.h"

namespace {

using namespace ModuleTypeId;

using PatchRoundTripTest = PatchFileTest;

// Values beyond 16 bits, as only a file can hold, and wires from modules further on.
const char kRichPatch[] =
    "FILETYPE PCH\nPROGRAM VARNOTEK\nVERSION 1.01\nNAME \n{{{PATCH\nPATCHSIZE 40,24\n"
    "{{{MODULE 0,0,OUT\nCONTROLLERS 0,0,0,26000,0,0\nINPUT 0,4,0,0\nINPUT 2,20,10,4\n}}}MODULE\n"
    "{{{MODULE 4,0,OSC\nCONTROLLERS 2147483647,-2147483648,40000,-32769,7,0\nINPUT 1,20,10,2\nMODE 261\n}}}MODULE\n"
    "{{{MODULE 8,0,FLT\nCONTROLLERS 1,2,3,4,5,6\nINPUT 0,4,0,0\nMODE 2\n}}}MODULE\n"
    "{{{MODULE 12,0,SEQ\nCONTROLLERS 0,0,0,0,0,0\nSEQSTEPS -2147483648,2147483647,-1,1,0,0,0,0,0,0,0,0,0,0,0,40000\n"
    "}}}MODULE\n{{{MODULE 20,10,CNT\nCONTROLLERS 0,0,0,0,0,0\nINPUT 4,20,10,2\n}}}MODULE\n}}}PATCH\n";

std::vector<int16_t> Render() {
  std::vector<int16_t> samples(2 * 6000);
  RenderFrames(samples.data(), 6000);
  return samples;
}

TEST_F(PatchRoundTripTest, PatchesKeepTextAndSound) {
  std::vector<std::string> texts = {kRichPatch, ReadWholeFile(std::string(VARNOTEK_PATCH_FIXTURES) + "/drums_crlf.pch")};
  for (const auto& entry : std::filesystem::directory_iterator(VARNOTEK_EXAMPLES_DIR))
    if (entry.path().extension() == ".pch") texts.push_back(ReadWholeFile(entry.path().string()));
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    std::string saved;
    std::vector<int16_t> sound;
    ResetEngineToStart();
    {
      PatchArea first;
      ASSERT_EQ(LoadText(first, text), LoadResult::Loaded);
      saved = SaveToText(first);
      sound = Render();
    }  // its pool buffers go back before the second load needs them
    ResetEngineToStart();
    PatchArea second;
    ASSERT_EQ(LoadText(second, saved), LoadResult::Loaded);
    EXPECT_EQ(SaveToText(second), saved);
    EXPECT_TRUE(Render() == sound);
    EXPECT_TRUE(messages.shown.empty());
  }
  EXPECT_GE(texts.size(), 8u);
  PatchArea rich;
  LoadText(rich, kRichPatch);
  EXPECT_EQ(SaveToText(rich), kRichPatch);
}

TEST_F(PatchRoundTripTest, SaveAndLoadThroughFilePath) {
  const std::string path = ::testing::TempDir() + "varnotek_round_trip.pch";
  PatchArea area;
  SetPath(area, path);
  area.SetModuleAt(0, 0, kOSC);
  area.SetModuleAt(4, 0, kOUT);
  area.Select(0, 0);
  area.BeginConnection(0);
  area.Select(4, 0);
  area.CompleteConnection(0);
  area.SavePatch();
  const std::string written = ReadWholeFile(path);
  EXPECT_EQ(written, SaveToText(area));
  EXPECT_NE(written.find("NAME " + path + "\n"), std::string::npos);

  PatchArea loaded;
  SetPath(loaded, path);
  loaded.LoadPatch(&ownerWindow);
  EXPECT_EQ(loaded.lastLoadResult, LoadResult::Loaded);
  EXPECT_EQ(SaveToText(loaded), written);
  std::remove(path.c_str());

  // A missing file, or a path that fills the whole field without its
  // terminator, names no file and leaves the patch alone.
  loaded.LoadPatch(&ownerWindow);
  EXPECT_EQ(loaded.lastLoadResult, LoadResult::CannotOpen);
  EXPECT_EQ(loaded.lastLoadError, ENOENT);
  for (char& c : loaded.filePath) c = 'a';
  loaded.LoadPatch(&ownerWindow);
  EXPECT_EQ(loaded.lastLoadResult, LoadResult::CannotOpen);
  EXPECT_EQ(loaded.lastLoadError, ENAMETOOLONG);
  EXPECT_EQ(CountModules(loaded), 2);
  EXPECT_TRUE(messages.shown.empty());
  loaded.SavePatch(&ownerWindow);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Could not save the patch: the file name is too long"});
}

}  // namespace
