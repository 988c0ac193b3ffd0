#include "tools/OfflineRender.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"

namespace {

using Clock = std::chrono::steady_clock;

// A bar appears only once a render has run this long, so quick renders
// leave the terminal alone, and is redrawn at most every tenth of a second.
constexpr auto kProgressDelay = std::chrono::milliseconds(300);
constexpr auto kProgressInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;

class ProgressBar {
 public:
  ProgressBar(bool enabled, int64_t total) : enabled_(enabled), total_(total), start_(Clock::now()) {}

  void Update(int64_t done) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - start_ < kProgressDelay || (shown_ && now - lastDrawn_ < kProgressInterval)) return;
    Draw(done);
    lastDrawn_ = now;
  }

  void Finish() {
    if (!shown_) return;
    Draw(total_);
    std::fputc('\n', stderr);
  }

 private:
  void Draw(int64_t done) {
    const int filled = static_cast<int>(done * kBarWidth / total_);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = '\0';
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, static_cast<int>(done * 100 / total_));
    std::fflush(stderr);
    shown_ = true;
  }

  const bool enabled_;
  const int64_t total_;
  const Clock::time_point start_;
  Clock::time_point lastDrawn_{};
  bool shown_ = false;
};

int SoundFileFormat(OutputKind kind) {
  switch (kind) {
    case OutputKind::Wav: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case OutputKind::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case OutputKind::Raw: return SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
  }
  return 0;
}

}  // namespace

bool LoadPatchForRendering(PatchArea& area, const std::string& patchPath, std::string& error) {
  // The loader says nothing about a file it cannot open; find out why here.
  struct stat status {};
  if (stat(patchPath.c_str(), &status) != 0) {
    error = "cannot read patch file " + patchPath + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    error = "cannot read patch file " + patchPath + ": not a regular file";
    return false;
  }
  if (patchPath.size() >= sizeof area.filePath) {
    error = "patch file path is too long: " + patchPath;
    return false;
  }

  InitDspMemory();
  std::snprintf(area.filePath, sizeof area.filePath, "%s", patchPath.c_str());
  area.LoadPatch(nullptr);
  switch (area.lastLoadResult) {
    case LoadResult::Loaded: return true;
    case LoadResult::CannotOpen:
      error = "cannot read patch file " + patchPath + ": " + std::strerror(errno);
      return false;
    case LoadResult::LoadError:
      error = "patch file " + patchPath + " did not load (see the message above); nothing written";
      return false;
  }
  return false;
}

bool RenderToFile(const RenderOptions& options, bool showProgress, std::string& error) {
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = kChannels;
  info.format = SoundFileFormat(options.outputKind);
  SNDFILE* file = sf_open(options.outputPath.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    error = "cannot write " + options.outputPath + ": " + sf_strerror(nullptr);
    return false;
  }

  std::vector<int16_t> buffer(static_cast<size_t>(kFramesPerBuffer) * kChannels);
  ProgressBar progress(showProgress, options.frames);
  int64_t done = 0;
  bool written = true;
  while (done < options.frames && written) {
    const int64_t left = options.frames - done;
    const auto frames = static_cast<int32_t>(left < kFramesPerBuffer ? left : kFramesPerBuffer);
    if (frames == kFramesPerBuffer) {
      RenderBuffer(buffer.data());
    } else {
      RenderFrames(buffer.data(), frames);  // the last, partial buffer: exactly the frames asked for
    }
    written = sf_writef_short(file, buffer.data(), frames) == frames;
    done += frames;
    progress.Update(done);
  }
  if (!written) error = "cannot write " + options.outputPath + ": " + sf_strerror(file);
  if (sf_close(file) != 0 && written) {
    written = false;
    error = "cannot write " + options.outputPath;
  }
  if (!written) {
    std::remove(options.outputPath.c_str());
    return false;
  }
  progress.Finish();
  return true;
}
