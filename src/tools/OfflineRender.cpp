#include "tools/OfflineRender.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"
#include "tools/SoundFileOutput.h"

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

  // Leaves the bar where it stopped, so that a message starts on a line of its own.
  void Abandon() {
    if (shown_) std::fputc('\n', stderr);
    shown_ = false;
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

// Set by SIGINT or SIGTERM; the render loop stops at the next buffer.
volatile std::sig_atomic_t stopSignal = 0;

void RequestStop(int signal) { stopSignal = signal; }

// No SA_RESTART: a write that blocks on a FIFO returns at once. A reader
// that goes away gives EPIPE, and a file beyond the size limit EFBIG, not
// death by SIGPIPE or SIGXFSZ, so the message is ours and nothing is left.
void TakeStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
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
    case LoadResult::CannotRead:
      error = "cannot read patch file " + patchPath + ": " + std::strerror(area.lastLoadError);
      return false;
    case LoadResult::LoadError:
      error = "patch file " + patchPath + " did not load (see the message above); nothing written";
      return false;
  }
  return false;
}

int RenderToFile(const RenderOptions& options, bool showProgress, std::string& error) {
  TakeStopSignals();
  SoundFileOutput output;
  if (!output.Open(options.outputPath, options.outputKind, options.frames, error)) return 1;

  std::vector<int16_t> buffer(static_cast<size_t>(kFramesPerBuffer) * kChannels);
  ProgressBar progress(showProgress, options.frames);
  for (int64_t done = 0; done < options.frames;) {
    if (stopSignal != 0) {
      progress.Abandon();
      output.Abandon();
      error = std::string("interrupted by ") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM") + "; " +
              (output.WritesInPlace() ? options.outputPath + " holds part of the render"
                                      : "nothing written to " + options.outputPath);
      return 128 + stopSignal;
    }
    const int64_t left = options.frames - done;
    const auto frames = static_cast<int32_t>(left < kFramesPerBuffer ? left : kFramesPerBuffer);
    if (frames == kFramesPerBuffer) {
      RenderBuffer(buffer.data());
    } else {
      RenderFrames(buffer.data(), frames);  // the last, partial buffer: exactly the frames asked for
    }
    if (!output.Write(buffer.data(), frames, error)) {
      progress.Abandon();
      return 1;
    }
    done += frames;
    progress.Update(done);
  }
  if (!output.Finish(error)) {
    progress.Abandon();
    return 1;
  }
  progress.Finish();
  return 0;
}
