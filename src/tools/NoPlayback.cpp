#include <cstdio>

#include "tools/OfflineRender.h"

// Built without the audio device: --play can only explain itself.
int PlayLoadedPatch(const RenderOptions&, bool) {
  std::fprintf(stderr, "varnotek-render: this build has no audio output (VARNOTEK_BUILD_AUDIO is OFF)\n");
  return 1;
}
