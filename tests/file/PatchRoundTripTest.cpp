// Patches survive load -> save -> load: the same text and, rendered from the
// same engine start, the same sound. Also the file-level entries LoadPatch
// and SavePatch.

#include <cerrno>
#include <filesystem>
#include <tuple>

#include "PatchFileTestSupport.h"
#include "dsp/RenderBuffer.h"

namespace {

using namespace ModuleTypeId;

using PatchRoundTripTest = PatchModelTest;

std::vector<int16_t> Render() {
  std::vector<int16_t> samples(2 * 6000);
  RenderFrames(samples.data(), 6000);
  return samples;
}

// Every fixture that loads, among them one with values beyond 16 bits as
// only a file can hold, and every example.
TEST_F(PatchRoundTripTest, PatchesKeepTextAndSound) {
  int32_t patches = 0;
  for (const char* folder : {VARNOTEK_PATCH_FIXTURES, VARNOTEK_EXAMPLES_DIR})
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() != ".pch") continue;
      SCOPED_TRACE(entry.path().string());
      std::string saved;
      std::vector<int16_t> sound;
      ResetEngine();
      {
        PatchArea first;
        if (LoadText(first, ReadWholeFile(entry.path().string())) != LoadResult::Loaded) continue;
        saved = SaveToText(first);
        sound = Render();
      }  // its pool buffers go back before the second load needs them
      ResetEngine();
      messages.shown.clear();
      PatchArea second;
      ASSERT_EQ(LoadText(second, saved), LoadResult::Loaded);
      EXPECT_EQ(SaveToText(second), saved);
      EXPECT_TRUE(Render() == sound);
      EXPECT_TRUE(messages.shown.empty());
      ++patches;
    }
  EXPECT_GE(patches, 36);
}

TEST_F(PatchRoundTripTest, SaveAndLoadThroughFilePath) {
  const TemporaryFolder folder;
  const std::string path = folder.path + "/p.pch";
  PatchArea area;
  SetPath(area, path);
  area.SetModuleAt(0, 0, kOSC), area.SetModuleAt(4, 0, kOUT), Connect(area, 0, 0, 0, 4, 0, 0);
  area.SavePatch();
  const std::string written = ReadWholeFile(path);
  EXPECT_EQ(written, SaveToText(area));
  EXPECT_NE(written.find("NAME " + path + "\n"), std::string::npos);

  PatchArea loaded;
  SetPath(loaded, path);
  // Loaded; then, the file gone, a missing file, and a path that fills the
  // whole field without its terminator: these name no file and leave the patch alone.
  const std::pair<LoadResult, int> expected[] = {{LoadResult::Loaded, 0}, {LoadResult::CannotOpen, ENOENT}, {LoadResult::CannotOpen, ENAMETOOLONG}};
  for (const auto& [result, error] : expected) {
    if (error == ENAMETOOLONG) for (char& c : loaded.filePath) c = 'a';
    loaded.LoadPatch(&ownerWindow);
    EXPECT_EQ(std::tie(loaded.lastLoadResult, loaded.lastLoadError), std::tie(result, error));
    EXPECT_EQ(CountModules(loaded), 2);
    if (error == 0) { EXPECT_EQ(SaveToText(loaded), written); }
    std::remove(path.c_str());
  }
  EXPECT_TRUE(messages.shown.empty());
  loaded.SavePatch(&ownerWindow);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Could not save the patch: the file name is too long"});
}

}  // namespace
