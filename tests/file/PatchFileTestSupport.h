// Helpers for the patch file suites: the writer's text as a string, the
// reader fed from a string, and a look at the whole patch.
#pragma once

#include <cstdint>
#include <string>

#include "../patch/PatchTestSupport.h"
#include "file/PatchFile.h"

// A fake owner window, so tests can check that load messages are owned by it.
extern int ownerWindow;

std::string SaveToText(const PatchArea& area);
LoadResult LoadText(PatchArea& area, const std::string& text);
std::string ReadWholeFile(const std::string& path);

bool DrumPatternIsClear();

class PatchFileTest : public PatchModelTest {};
