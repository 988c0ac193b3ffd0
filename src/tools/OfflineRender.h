// The work of varnotek-render: load a patch into the engine as the program
// does at start-up, then render it to a file or play it.
#pragma once

#include <string>

#include "tools/RenderOptions.h"

class PatchArea;

// Brings up the engine (InitDspMemory on all-zero memory, as at program
// start) and loads the patch; the loader's messages go to the message sink.
// False, with the reason in `error`, when the file cannot be read or does
// not load; the patch is then empty.
bool LoadPatchForRendering(PatchArea& area, const std::string& patchPath, std::string& error);

// Renders options.frames frames of the loaded patch into options.outputPath
// and returns the exit status: 0 when the file is whole and in place, 1 on
// a failure, 128 + the signal's number when SIGINT or SIGTERM stopped it;
// `error` then says why. A file that was there before is left as it was
// unless the render completes. With `showProgress` a bar on standard error
// follows renders that take longer than a moment.
int RenderToFile(const RenderOptions& options, bool showProgress, std::string& error);

// Plays the loaded patch through StartAudio until the time is up or the
// user interrupts. Returns the exit status.
int PlayLoadedPatch(const RenderOptions& options, bool showElapsed);
