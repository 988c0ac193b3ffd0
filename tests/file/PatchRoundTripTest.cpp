// Patches survive save -> load -> save: the same text and, rendered from the
// same engine start, the same sound. Also the file-level entries LoadPatch
// and SavePatch, and the broken fixture files with the errors they raise.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "PatchFileTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

using PatchRoundTripTest = PatchFileTest;

// Every type whose short name leads back to it; "---" reads back as 7.
const ModuleType kNamedTypes[] = {kOSC, kVCF, kFLT, kVCA, kADD, kMUL, 7,    kENV, kSampleHold, kGLI, kSWI,
                                  kSEQ, kDRM, kPAT, kSNG, kCNT, kCLP, kDLY, kFLA, kMIX,        kOUT, kOUT};

constexpr int32_t kRenderFrames = 6000;

struct RandomPatchOptions {
  bool allowMoves;     // moves change the render order, so only for text checks
  bool extremeValues;  // controller and step values beyond 16 bits, as only a file can hold
};

class RandomPatchBuilder {
 public:
  RandomPatchBuilder(PatchArea& area, uint32_t seed, RandomPatchOptions options)
      : area_(area), random_(seed), options_(options) {}

  void Build() {
    PlaceModules();
    for (int32_t k = Pick(0, 25); k > 0; --k) AddWire();
    WireOscillatorToOut();
    for (int32_t row = 0; row < kGridRows; ++row)
      for (int32_t column = 0; column < kGridColumns; ++column)
        if (BlockModule* m = area_.ModuleAt(column, row); m != nullptr) Adjust(*m);
    if (options_.allowMoves)
      for (int32_t k = Pick(0, 6); k > 0; --k) {
        const BlockModule* m = RandomModule();
        if (m == nullptr) break;
        area_.Select(m->posX, m->posY);
        area_.MoveSelected(Pick(0, kLastAnchorColumn), Pick(0, kLastAnchorRow));
      }
  }

 private:
  int32_t Pick(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random_); }

  // Modules are created row by row, as the reader creates them, so both
  // patches take their DSP blocks in the same order.
  void PlaceModules() {
    bool wanted[kGridRows][kGridColumns] = {};
    PatchArea scratch;  // only to find free squares
    for (int32_t k = Pick(2, 14); k > 0; --k) {
      const int32_t column = Pick(0, kLastAnchorColumn);
      const int32_t row = Pick(0, kLastAnchorRow);
      if (scratch.SetModuleAt(column, row, kPAT) == 1) wanted[row][column] = true;
    }
    scratch.Clear();
    // The first two are an OUT and an OSC, so that most patches make a sound.
    for (int32_t row = 0; row < kGridRows; ++row)
      for (int32_t column = 0; column < kGridColumns; ++column) {
        if (!wanted[row][column]) continue;
        const ModuleType type = modules_.size() == 0   ? kOUT
                                : modules_.size() == 1 ? kOSC
                                                       : kNamedTypes[Pick(0, std::size(kNamedTypes) - 1)];
        area_.SetModuleAt(column, row, type);
        modules_.push_back(area_.ModuleAt(column, row));
      }
  }

  void WireOscillatorToOut() {
    if (modules_.size() < 2) return;
    area_.Select(modules_[1]->posX, modules_[1]->posY);
    area_.BeginConnection(0);
    area_.Select(modules_[0]->posX, modules_[0]->posY);
    area_.CompleteConnection(2);  // the CENTER input whose volume starts audible
  }

  BlockModule* RandomModule() {
    if (modules_.empty()) return nullptr;
    return modules_[Pick(0, static_cast<int32_t>(modules_.size()) - 1)];
  }

  void AddWire() {
    BlockModule* source = RandomModule();
    BlockModule* target = RandomModule();
    if (source->dspBlock == -1 || target->dspBlock == -1) return;
    const int32_t output = Pick(0, 4);
    const int32_t input = Pick(0, 4);
    if (OutputExists(source->type, output) && Pick(0, 1) == 0) {
      area_.Select(source->posX, source->posY);
      area_.BeginConnection(output);
      area_.Select(target->posX, target->posY);
      area_.CompleteConnection(input);
      return;
    }
    // Any output of any module, as a patch file may name it.
    if (target->ConnectInput(source, output, input) == 1) {
      target->inputSourceX[input] = source->posX;
      target->inputSourceY[input] = source->posY;
      target->inputSourceOutput[input] = output;
    }
  }

  int32_t RandomValue() {
    if (options_.extremeValues && Pick(0, 3) == 0) return Pick(INT32_MIN, INT32_MAX);
    return Pick(-32768, 32767);
  }

  void Adjust(BlockModule& m) {
    if (m.dspBlock == -1) return;
    for (int32_t c = 0; c < kModuleControllerCount; ++c)
      if (Pick(0, 2) == 0) DspMemory.Store(m.dspBlock + kController + c, RandomValue());
    if (m.type == kOSC) m.SetMode(Pick(0, 5) + (Pick(0, 1) ? kOscHighRange : 0));
    if (m.type == kFLT) m.SetMode(Pick(0, 2));
    if (m.type == kSEQ)
      for (int32_t s = 0; s < kSequencerSteps; ++s) DspMemory.Store(m.dspBlock + kStep + s, RandomValue());
    if (m.type == kDRM)
      for (int32_t bank : {0, Pick(0, 31)})
        for (int32_t k = Pick(0, 40); k > 0; --k)
          SetDrumByte(DrumByteOffset(0, bank, Pick(0, 3), Pick(0, 63)), Pick(0, 3) == 0 ? Pick(0, 255) : 1);
  }

  PatchArea& area_;
  std::mt19937 random_;
  RandomPatchOptions options_;
  std::vector<BlockModule*> modules_;
};

std::vector<int16_t> Render() {
  std::vector<int16_t> samples(2 * kRenderFrames);
  RenderFrames(samples.data(), kRenderFrames);
  return samples;
}

bool Silent(const std::vector<int16_t>& samples) {
  for (int16_t s : samples)
    if (s != 0) return false;
  return true;
}

TEST_F(PatchRoundTripTest, RandomPatchesKeepTextAndSound) {
  int32_t audible = 0;
  constexpr int32_t kPatches = 40;
  for (uint32_t seed = 1; seed <= kPatches; ++seed) {
    std::string saved;
    std::vector<int16_t> originalSound;
    ResetEngineToStart();
    {
      PatchArea original;
      RandomPatchBuilder(original, seed, {false, false}).Build();
      originalSound = Render();
      saved = SaveToText(original);
    }
    ResetEngineToStart();
    messages.shown.clear();
    PatchArea loaded;
    ASSERT_EQ(LoadText(loaded, saved), LoadResult::Loaded) << saved;
    EXPECT_TRUE(messages.shown.empty()) << seed << ": " << messages.shown.front().text;
    const std::vector<int16_t> loadedSound = Render();
    EXPECT_EQ(SaveToText(loaded), saved) << "seed " << seed;
    EXPECT_TRUE(loadedSound == originalSound) << "seed " << seed << "\n" << saved;
    audible += !Silent(originalSound);
  }
  // The comparison means something only if many of the patches make a sound.
  EXPECT_GE(audible, kPatches / 3);
}

// What a patch is, position by position: type, mode and where each wire comes from.
std::vector<std::vector<int32_t>> Describe(const PatchArea& area) {
  std::vector<std::vector<int32_t>> description;
  for (int32_t row = 0; row < kGridRows; ++row)
    for (int32_t column = 0; column < kGridColumns; ++column) {
      const BlockModule* m = area.ModuleAt(column, row);
      if (m == nullptr || m->type == kNoModule) continue;
      std::vector<int32_t> entry = {column, row, m->type, m->mode};
      for (int32_t c = 0; c < kModuleControllerCount; ++c) entry.push_back(m->GetController(c));
      for (int32_t i = 0; i < kModuleInputCount; ++i) {
        const BlockModule* source = m->inputSource[i];
        entry.push_back(source != nullptr ? source->posX : -1);
        entry.push_back(source != nullptr ? source->posY : -1);
        entry.push_back(source != nullptr ? Word(m->dspBlock + kInput + i) - source->dspBlock : -1);
      }
      description.push_back(entry);
    }
  return description;
}

TEST_F(PatchRoundTripTest, RandomEditsWithMovesAndExtremeValuesKeepTheirText) {
  for (uint32_t seed = 100; seed < 160; ++seed) {
    std::string saved;
    std::vector<std::vector<int32_t>> description;
    {
      PatchArea original;
      RandomPatchBuilder(original, seed, {true, true}).Build();
      saved = SaveToText(original);
      description = Describe(original);
    }  // its pool buffers go back before the load needs them
    PatchArea loaded;
    ASSERT_EQ(LoadText(loaded, saved), LoadResult::Loaded) << saved;
    EXPECT_EQ(SaveToText(loaded), saved) << "seed " << seed;
    EXPECT_EQ(Describe(loaded), description) << "seed " << seed;
  }
}

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

void SetPath(PatchArea& area, const std::string& path) {
  std::snprintf(area.filePath, sizeof(area.filePath), "%s", path.c_str());
}

TEST_F(PatchRoundTripTest, SaveAndLoadThroughFilePath) {
  const std::string path = TempPath("varnotek_round_trip.pch");
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
}

TEST_F(PatchRoundTripTest, UnreadableFileLeavesThePatchAlone) {
  PatchArea area;
  area.SetModuleAt(3, 3, kVCA);
  SetPath(area, TempPath("varnotek_no_such_file.pch"));
  area.LoadPatch(&ownerWindow);
  EXPECT_EQ(area.lastLoadResult, LoadResult::CannotOpen);
  EXPECT_NE(area.ModuleAt(3, 3), nullptr);

  // A path that fills the whole field without its terminator names no file.
  for (char& c : area.filePath) c = 'a';
  area.LoadPatch(&ownerWindow);
  EXPECT_EQ(area.lastLoadResult, LoadResult::CannotOpen);
  EXPECT_TRUE(messages.shown.empty());
  area.SavePatch(&ownerWindow);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Could not save the patch: the file name is too long"});
  EXPECT_NE(area.ModuleAt(3, 3), nullptr);
}

struct FixtureCase {
  const char* file;
  LoadResult result;
  std::vector<std::string> messages;
  int32_t modules;
};

TEST_F(PatchRoundTripTest, FixtureFilesRaiseTheirMessages) {
  const FixtureCase cases[] = {
      {"example.pch", LoadResult::Loaded, {}, 3},
      {"drums_crlf.pch", LoadResult::Loaded, {}, 5},
      {"unknown_version.pch",
       LoadResult::Loaded,
       {"This is an Patchfile of unknown type, results are unpredicable!"},
       1},
      {"wire_to_nowhere.pch", LoadResult::Loaded, {"Internal Varnotek Error: ConnectInput(*,i,i) failure"}, 1},
      {"patch_wrong_size.pch", LoadResult::LoadError, {"Load-Error: Patch wrong size"}, 0},
      {"module_out_of_area.pch", LoadResult::LoadError, {"Load-Error: Module out of patch area"}, 0},
      {"module_overlap.pch", LoadResult::LoadError, {"Load-Error: Module out of patch area"}, 0},
      {"input_outside_module.pch", LoadResult::LoadError, {"Load-Error: INPUT only allowed in MODULE block"}, 0},
      {"controllers_outside_module.pch",
       LoadResult::LoadError,
       {"Load-Error: CONTROLLERS only allowed in MODULE block"},
       0},
      {"mode_outside_module.pch", LoadResult::LoadError, {"Load-Error: MODE only allowed in MODULE Block"}, 0},
      {"seqsteps_in_osc.pch", LoadResult::LoadError, {"Load-Error: SEQSTEPS only allowed in SEQ-Block"}, 0},
      {"track_in_seq.pch", LoadResult::LoadError, {"Load-Error: TRACK only allowed in DRM-Block"}, 0},
      {"track_out_of_range.pch", LoadResult::LoadError, {"Load-Error: TRACK number out of range"}, 0},
  };
  for (const FixtureCase& c : cases) {
    messages.shown.clear();
    PatchArea area;
    SetPath(area, std::string(VARNOTEK_PATCH_FIXTURES) + "/" + c.file);
    area.LoadPatch(&ownerWindow);
    EXPECT_EQ(area.lastLoadResult, c.result) << c.file;
    EXPECT_EQ(messages.Texts(), c.messages) << c.file;
    EXPECT_EQ(CountModules(area), c.modules) << c.file;
  }
}

}  // namespace
