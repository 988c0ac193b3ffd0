// Feeds arbitrary bytes to the patch reader, renders a little of what it
// loaded, and checks that the writer and the reader agree: whatever was
// loaded, saved, loaded again and saved again gives the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dsp/DspMemory.h"
#include "dsp/MessageSink.h"
#include "dsp/RenderBuffer.h"
#include "file/PatchFile.h"

namespace {

void DiscardMessage(void*, void*, const char*, MessageIcon) {}

// The engine's globals outlive each input; the one PatchArea empties itself
// at the start of every load, which returns every block and buffer.
PatchArea& Area() {
  static PatchArea* area = [] {
    InitDspMemory();
    SetMessageSink(DiscardMessage, nullptr);
    return new PatchArea;
  }();
  return *area;
}

struct Text { char* bytes = nullptr; size_t size = 0; ~Text() { std::free(bytes); } };

void Save(const PatchArea& area, Text& text) {
  std::FILE* file = open_memstream(&text.bytes, &text.size);
  if (file == nullptr) std::abort();
  WritePatch(area, file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PatchArea& area = Area();
  LoadPatchFromText(area, reinterpret_cast<const char*>(data), size, nullptr);

  // Values a file may hold reach the render steps unchecked.
  static int16_t samples[2 * 64];
  RenderFrames(samples, 64);

  Text first, second;
  Save(area, first);
  if (LoadPatchFromText(area, first.bytes, first.size, nullptr) != LoadResult::Loaded) std::abort();
  Save(area, second);
  if (first.size != second.size || std::memcmp(first.bytes, second.bytes, first.size) != 0) std::abort();

  area.Clear();
  return 0;
}
