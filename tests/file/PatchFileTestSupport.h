// Helpers for the patch file suites: the writer's text as a string, the
// reader fed from a string, and a look at the whole patch.
#pragma once

#include <cstdio>

#include "../patch/PatchTestSupport.h"
#include "dsp/Pools.h"
#include "file/PatchFile.h"
#include "support/TestFiles.h"

// A fake owner window, so tests can check that load messages are owned by it.
inline int ownerWindow = 0;

inline std::string SaveToText(const PatchArea& area) {
  std::FILE* file = std::tmpfile();
  WritePatch(area, file);
  std::string text(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

inline LoadResult LoadText(PatchArea& area, const std::string& text) {
  return LoadPatchFromText(area, text.data(), text.size(), &ownerWindow);
}

inline void SetPath(PatchArea& area, const std::string& path) {
  std::snprintf(area.filePath, sizeof area.filePath, "%s", path.c_str());
}

inline bool DrumPatternIsClear() {
  for (int32_t offset = 0; offset < kDrumBufferCount * kDrumBufferBytes; ++offset)
    if (GetDrumByte(offset) != 0) return false;
  return true;
}
