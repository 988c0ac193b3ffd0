// Every patch in examples/ sounds: not silent, and never beyond 16 bits at
// the output (where the sum would wrap around instead of clipping). That
// they load without a message, text and sound intact, the file suite checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "dsp/EngineReset.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"

namespace {

TEST(ExamplesTest, EachSoundsWithoutWrapping) {
  int32_t examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VARNOTEK_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".pch") continue;
    SCOPED_TRACE(entry.path().string());
    ++examples;
    ResetEngineToProgramStart();
    PatchArea area;
    std::snprintf(area.filePath, sizeof area.filePath, "%s", entry.path().string().c_str());
    area.LoadPatch(nullptr);
    ASSERT_EQ(area.lastLoadResult, LoadResult::Loaded);
    // Ten seconds, frame by frame, so that each frame's sums can be seen
    // before the output stage cuts them to 16 bits.
    int32_t peak = 0, firstWrap = -1;
    double energy = 0;
    for (int32_t frame = 0; frame < 10 * kSampleRate; ++frame) {
      int16_t samples[2];
      RenderFrames(samples, 1);
      for (const int32_t sum : {leftSum >> 13, rightSum >> 13}) {
        if ((sum < INT16_MIN || sum > INT16_MAX) && firstWrap < 0) firstWrap = frame;
        peak = std::max(peak, std::abs(sum));
      }
      energy += static_cast<double>(samples[0]) * samples[0] + static_cast<double>(samples[1]) * samples[1];
    }
    EXPECT_EQ(firstWrap, -1);
    // Not silent: at least about -40 dB of full scale on average, and a real
    // peak; and a little headroom below full scale.
    EXPECT_GT(std::sqrt(energy / (2.0 * 10 * kSampleRate)), 330.0);
    EXPECT_TRUE(peak > 8000 && peak < 32000) << "peak " << peak;
  }
  EXPECT_GE(examples, 6);
}

}  // namespace
