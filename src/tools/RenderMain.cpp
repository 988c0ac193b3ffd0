// varnotek-render: a patch file in, an audio file (or the sound card) out.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "patch/PatchArea.h"
#include "tools/OfflineRender.h"
#include "tools/RenderOptions.h"

int main(int argc, char** argv) {
  const ParsedArguments parsed = ParseRenderArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.ok) {
    std::fprintf(stderr, "varnotek-render: %s\n%s", parsed.error.c_str(), kRenderUsage);
    return 2;
  }
  const RenderOptions& options = parsed.options;
  if (options.command == RenderCommand::Help) {
    std::printf("%s\n%s", kRenderUsage, kRenderHelp);
    return 0;
  }

  // Lives until the end of main, after audio has stopped.
  PatchArea area;
  std::string error;
  if (!LoadPatchForRendering(area, options.patchPath, error)) {
    std::fprintf(stderr, "varnotek-render: %s\n", error.c_str());
    return 1;
  }
  const bool onTerminal = isatty(STDERR_FILENO) != 0;
  if (options.command == RenderCommand::Play) return PlayLoadedPatch(options, onTerminal);

  const int status = RenderToFile(options, onTerminal, error);
  if (status != 0) std::fprintf(stderr, "varnotek-render: %s\n", error.c_str());
  return status;
}
