// The reader, by its fixtures: each fixtures/NAME.pch loads into what
// NAME.out shows, the messages raised ("! " lines) and then the patch as the
// writer writes it. A load error leaves an empty patch and empty pools.
// VARNOTEK_WRITE_FIXTURES=1 rewrites the .out files after an intended change.

#include <cstdlib>
#include <filesystem>

#include "PatchFileTestSupport.h"
#include "dsp/DspMemory.h"

namespace {

namespace fs = std::filesystem;

using PatchReaderTest = PatchModelTest;

TEST_F(PatchReaderTest, EachFixtureLoadsIntoItsOutput) {
  int32_t fixtures = 0;
  for (const auto& entry : fs::directory_iterator(VARNOTEK_PATCH_FIXTURES)) {
    if (entry.path().extension() != ".pch") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++fixtures;
    ResetEngine();
    messages.shown.clear();
    PatchArea area;
    area.SetModuleAt(20, 20, ModuleTypeId::kVCA), area.Select(20, 20), area.BeginConnection(0);  // the patch that was open before
    SetDrumByte(DrumByteOffset(0, 7, 1, 1), 1);  // in a bank no fixture names
    const LoadResult result = LoadText(area, ReadWholeFile(entry.path().string()));

    std::string shown;
    for (const ShownMessage& m : messages.shown) {
      shown += "! " + m.text + "\n";
      if (m.text.rfind("Internal", 0) == 0) continue;  // the patch model's own, not the reader's
      EXPECT_EQ(m.icon, MessageIcon::Warning);
      EXPECT_EQ(m.owner, &ownerWindow);
    }
    shown += SaveToText(area);
    const fs::path out = fs::path(entry.path()).replace_extension(".out");
    if (std::getenv("VARNOTEK_WRITE_FIXTURES") != nullptr) std::ofstream(out, std::ios::binary) << shown;
    EXPECT_EQ(shown, ReadWholeFile(out.string()));
    EXPECT_EQ(result == LoadResult::LoadError, shown.rfind("! Load-Error: ", 0) == 0);
    if (result != LoadResult::LoadError) continue;
    EXPECT_EQ((std::vector<int32_t>{static_cast<int32_t>(messages.shown.size()), CountModules(area), CountFreeBlocks(), DelayBufAvailable(),
                                    delayBufInUse[0], DRMBufferAvailable(), DrumPatternIsClear(), area.CursorX() + area.CursorY(),
                                    area.ConnectSourceOutput()}),
              (std::vector<int32_t>{1, 0, kDspBlockCount, 1, 0, 1, 1, 0, -1}));
  }
  EXPECT_GE(fixtures, 61);
}

}  // namespace
