// The entry point of the editor: window system, sound device, start-up, and
// the message loop until the main window is gone.
#include "app/StartUp.h"
#include "audio/AudioOutput.h"
#ifdef VARNOTEK_WITH_PORTAUDIO
#include "audio/portaudio/PortAudioWaveOut.h"
#endif

int main(int argc, char** argv) {
  InitWindowSystem(argc, argv);
#ifdef VARNOTEK_WITH_PORTAUDIO
  SetWaveOutDevice(&DefaultPortAudioWaveOut());
#endif
  MainWindow* main = StartEditor();
  const int32_t code = RunMessageLoop();
  delete main;
  return code;
}
