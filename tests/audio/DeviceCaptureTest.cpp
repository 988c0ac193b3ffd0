// The whole path through the real PortAudio and ALSA on a machine without a
// sound card: ALSA's file plugin over its null device stands in for the
// card and records every byte the stream plays.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "AudioTestSupport.h"
#include "audio/AudioOutput.h"
#include "audio/portaudio/PortAudioWaveOut.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"
#include "support/TestFiles.h"

namespace {

struct Frame { int16_t left, right; bool operator==(const Frame&) const = default; };

// The file device is not paced in real time, so the stream plays silence
// whenever it runs ahead of the ring, and the file fills with it fast; the
// patch never outputs a zero frame. Reads the sounding frames from `offset`
// on, in chunks, and moves `offset` past what it read.
void AppendSoundingFrames(const std::string& path, long& offset, std::vector<Frame>& sounding) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return;
  // Only what is there now: the file may grow faster than it can be read.
  std::fseek(file, 0, SEEK_END);
  const long end = std::ftell(file);
  std::fseek(file, offset, SEEK_SET);
  std::vector<Frame> chunk(16384);
  size_t count;
  while (offset < end && (count = std::fread(chunk.data(), sizeof(Frame), chunk.size(), file)) > 0) {
    offset += static_cast<long>(count * sizeof(Frame));
    std::copy_if(chunk.begin(), chunk.begin() + count, std::back_inserter(sounding), [](Frame f) { return f != Frame{0, 0}; });
  }
  std::fclose(file);
}

// The default ALSA device becomes the file plugin over the null device: raw
// interleaved frames into `capture`, as fast as the callback delivers them.
// Set before PortAudio first looks at ALSA; a JACK server, if one runs, is
// kept out of the way.
void UseFileCaptureDevice(const std::string& folder, const std::string& capture) {
  const std::string path = folder + "/asound.conf";
  std::ofstream(path) << "pcm.!default { type file slave.pcm { type null } file \"" + capture + "\" format \"raw\" }\n";
  setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  setenv("JACK_DEFAULT_SERVER", "varnotek-test-no-server", 1);
}

TEST(DeviceCaptureTest, PlayedBytesEqualTheOfflineRender) {
  TemporaryFolder folder;
  const std::string capture = folder.path + "/capture.raw";
  UseFileCaptureDevice(folder.path, capture);

  ResetEngine();
  PatchArea area;
  std::snprintf(area.filePath, sizeof area.filePath, "%s", VARNOTEK_CAPTURE_PATCH);
  MessageCapture messages;
  area.LoadPatch(nullptr);
  ASSERT_EQ(area.lastLoadResult, LoadResult::Loaded);

  SetWaveOutDevice(&DefaultPortAudioWaveOut());
  StartAudio(nullptr);
  ASSERT_NE(waveDevice, nullptr) << "the ALSA file device did not open";

  constexpr size_t kBuffers = 30;
  // Bounds that turn a stalled ring into a failure instead of a full disk.
  constexpr long kMostBytes = 1L << 30;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  long offset = 0;
  std::vector<Frame> played;
  while (played.size() < kBuffers * kFramesPerBuffer && offset < kMostBytes && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    AppendSoundingFrames(capture, offset, played);
  }
  StopAudio(), SetWaveOutDevice(nullptr);
  EXPECT_TRUE(messages.Texts().empty());
  AppendSoundingFrames(capture, offset, played);
  ASSERT_GE(played.size(), kBuffers * kFramesPerBuffer) << "after " << offset << " bytes played";

  const std::string offline = folder.path + "/offline.raw";
  const std::string command = std::string("'") + VARNOTEK_RENDER + "' --frames " + std::to_string(played.size() + 4 * kFramesPerBuffer) +
                              " '" VARNOTEK_CAPTURE_PATCH "' '" + offline + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  long renderedOffset = 0;
  std::vector<Frame> rendered;
  AppendSoundingFrames(offline, renderedOffset, rendered);
  ASSERT_GE(rendered.size(), played.size());

  size_t firstDifference = 0;
  while (firstDifference < played.size() && played[firstDifference] == rendered[firstDifference]) ++firstDifference;
  EXPECT_EQ(firstDifference, played.size()) << "of " << played.size() << " sounding frames played";
}

// The program never stops audio itself; the process just ends. The stream
// must be stopped before static storage goes, or its callback would run
// into freed memory.
TEST(DeviceCaptureDeathTest, ExitingWhileAudioPlaysEndsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TemporaryFolder folder;
  const std::string capture = folder.path + "/capture.raw";
  UseFileCaptureDevice(folder.path, capture);
  EXPECT_EXIT(
      {
        ResetEngine();
        BuildTestPatch();
        SetWaveOutDevice(&DefaultPortAudioWaveOut());
        StartAudio(nullptr);
        if (waveDevice == nullptr) std::_Exit(3);
        long offset = 0;
        std::vector<Frame> played;
        while (played.size() < 4 * kFramesPerBuffer) AppendSoundingFrames(capture, offset, played);
        std::filesystem::remove_all(folder.path);  // this process's own folder: the exit skips its destructor
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
