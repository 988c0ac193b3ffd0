// The entry point of the editor: window system, sound device, start-up, the
// patch given on the command line, and the message loop until the main
// window is gone.
#include <cstdio>

#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "audio/AudioOutput.h"
#if defined(VARNOTEK_WITH_WAVEOUT)
#include "audio/win32/WaveOutWin32.h"
#elif defined(VARNOTEK_WITH_PORTAUDIO)
#include "audio/portaudio/PortAudioWaveOut.h"
#endif

int main(int argc, char** argv) {
  InitWindowSystem(argc, argv);
  const EditorArguments arguments = ParseEditorArguments(argc, argv);
  if (!arguments.ok) {
    std::fprintf(stderr, "varnotek: %s\n%s\n", arguments.error.c_str(), kEditorUsage);
    return 2;
  }
#if defined(VARNOTEK_WITH_WAVEOUT)
  SetWaveOutDevice(&DefaultWaveOutWin32());
#elif defined(VARNOTEK_WITH_PORTAUDIO)
  SetWaveOutDevice(&DefaultPortAudioWaveOut());
#endif
  MainWindow* main = StartEditor();
  if (!arguments.patchPath.empty()) OpenPatchAtStart(*main, arguments.patchPath);
  const int32_t code = RunMessageLoop();
  delete main;
  return code;
}
