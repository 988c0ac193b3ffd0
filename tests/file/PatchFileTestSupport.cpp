#include "PatchFileTestSupport.h"

#include <cstdio>

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

int ownerWindow = 0;

std::string SaveToText(const PatchArea& area) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return "tmpfile failed";
  WritePatch(area, file);
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

LoadResult LoadText(PatchArea& area, const std::string& text) {
  return LoadPatchFromText(area, text.data(), text.size(), &ownerWindow);
}

std::string ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "cannot open " + path;
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}


bool DrumPatternIsClear() {
  for (int32_t offset = 0; offset < kDrumBufferCount * kDrumBufferBytes; ++offset)
    if (GetDrumByte(offset) != 0) return false;
  return true;
}
