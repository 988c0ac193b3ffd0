// Plays a patch through waveOut for a while, as the Windows editor does from
// start-up, then stops audio and exits:
//
//   varnotek-play-raw PATCH.pch SECONDS
//
// The message sink's texts go to standard output, one a line, so that a
// test sees what the user would have seen in a message box. Exits 0 after
// playing, 1 when the patch does not load, 3 when audio did not start.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "audio/AudioOutput.h"
#include "audio/win32/WaveOutWin32.h"
#include "dsp/DspMemory.h"
#include "dsp/MessageSink.h"
#include "patch/PatchArea.h"

namespace {

void PrintMessage(void*, void*, const char* text, MessageIcon) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: varnotek-play-raw PATCH.pch SECONDS\n");
    return 2;
  }
  const double seconds = std::strtod(argv[2], nullptr);
  SetMessageSink(PrintMessage, nullptr);
  InitDspMemory();
  PatchArea area;
  std::snprintf(area.filePath, sizeof area.filePath, "%s", argv[1]);
  area.LoadPatch(nullptr);
  if (area.lastLoadResult != LoadResult::Loaded) return 1;

  SetWaveOutDevice(&DefaultWaveOutWin32());
  StartAudio(nullptr);
  const bool playing = waveDevice != nullptr;
  if (playing) Sleep(static_cast<DWORD>(seconds * 1000));
  StopAudio();
  return playing ? 0 : 3;
}
