// Every patch in examples/ loads without a message and sounds: not silent,
// and never beyond 16 bits at the output (where the sum would wrap around
// instead of clipping).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"
#include "dsp/MessageSink.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"

namespace {

std::vector<std::string> ExamplePatches() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(VARNOTEK_EXAMPLES_DIR)) {
    if (entry.path().extension() == ".pch") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void CollectMessage(void* context, void*, const char* text, MessageIcon) {
  static_cast<std::vector<std::string>*>(context)->emplace_back(text);
}

TEST(ExamplesTest, ThereAreAtLeastFiveAndADemo) {
  const auto paths = ExamplePatches();
  EXPECT_GE(paths.size(), 6u);
  EXPECT_TRUE(std::filesystem::exists(std::string(VARNOTEK_EXAMPLES_DIR) + "/demo.pch"));
}

class ExamplePatchTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ExamplePatchTest, LoadsQuietlyAndSoundsWithoutWrapping) {
  ResetEngineToProgramStart();
  std::vector<std::string> messages;
  SetMessageSink(CollectMessage, &messages);
  PatchArea area;
  std::snprintf(area.filePath, sizeof area.filePath, "%s", GetParam().c_str());
  area.LoadPatch(nullptr);
  SetMessageSink(nullptr, nullptr);
  ASSERT_EQ(area.lastLoadResult, LoadResult::Loaded);
  EXPECT_EQ(messages, std::vector<std::string>{});

  // Ten seconds, frame by frame, so that each frame's sums can be seen
  // before the output stage cuts them to 16 bits.
  constexpr int32_t kFrames = 10 * kSampleRate;
  int32_t peak = 0;
  double energy = 0;
  int32_t wrappedFrames = 0;
  int32_t firstWrap = -1;
  for (int32_t frame = 0; frame < kFrames; ++frame) {
    int16_t samples[2];
    RenderFrames(samples, 1);
    for (const int32_t sum : {leftSum, rightSum}) {
      const int32_t scaled = sum >> 13;
      if (scaled < INT16_MIN || scaled > INT16_MAX) {
        if (firstWrap < 0) firstWrap = frame;
        ++wrappedFrames;
      }
      peak = std::max(peak, std::abs(scaled));
    }
    energy += static_cast<double>(samples[0]) * samples[0] + static_cast<double>(samples[1]) * samples[1];
  }
  const double rms = std::sqrt(energy / (2.0 * kFrames));
  EXPECT_EQ(wrappedFrames, 0) << "first at frame " << firstWrap;
  // Not silent: at least about -40 dB of full scale on average, and a real peak.
  EXPECT_GT(rms, 330.0);
  EXPECT_GT(peak, 8000);
  // Headroom: the loudest frame stays a little below full scale.
  EXPECT_LT(peak, 32000);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExamplePatchTest, ::testing::ValuesIn(ExamplePatches()),
                         [](const auto& info) {
                           std::string name = std::filesystem::path(info.param).stem().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
