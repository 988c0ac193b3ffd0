// Renders a patch to raw 16-bit little-endian stereo frames, built for every
// platform, so that their renders can be compared byte for byte:
//
//   varnotek-render-raw PATCH.pch FRAMES OUT.raw
//   varnotek-render-raw --generated SEED FRAMES OUT.raw
//
// A generated patch is built through the patch model from the seed alone: a
// few dozen modules of every creatable type at random cells, random wires,
// modes and controllers, so that it sounds the same everywhere or not at all.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dsp/DspMemory.h"
#include "dsp/RenderBuffer.h"
#include "patch/PatchArea.h"

namespace {

// The seed's own sequence, the same on every platform and library.
struct Lcg {
  uint32_t state;
  uint32_t Next(uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  }
};

// The module buttons' types (the creatable ones).
constexpr int32_t kCreatable[] = {0, 1, 2, 3, 4, 5, 6, 12, 13, 14, 15, 16, 17, 18, 19, 20, 24, 32, 33, 34, 35};

struct Cell { int32_t column, row; };

// An OUT in the corner hears whatever the wires bring it; every third wire
// goes into one of its inputs.
void Generate(PatchArea& area, uint32_t seed) {
  Lcg random{seed};
  const Cell out{kLastAnchorColumn, kLastAnchorRow};
  area.SetModuleAt(out.column, out.row, ModuleTypeId::kOUT);
  area.Select(out.column, out.row);
  for (int32_t c = 0; c < 6; ++c) area.SetSelectedController(c, 20000);  // an OUT starts silent
  std::vector<Cell> placed;
  for (int32_t attempt = 0; attempt < 60; ++attempt) {
    const Cell cell{static_cast<int32_t>(random.Next(kLastAnchorColumn + 1)), static_cast<int32_t>(random.Next(kLastAnchorRow + 1))};
    const int32_t type = kCreatable[1 + random.Next(sizeof kCreatable / sizeof kCreatable[0] - 1)];
    if (area.SetModuleAt(cell.column, cell.row, type) == 0) continue;
    placed.push_back(cell);
    area.Select(cell.column, cell.row);
    area.SetSelectedMode(static_cast<int32_t>(random.Next(512)));
    for (int32_t c = 0; c < 6; ++c) area.SetSelectedController(c, static_cast<int32_t>(random.Next(65536)) - 32768);
  }
  if (placed.empty()) return;
  for (int32_t wire = 0; wire < 90; ++wire) {
    const Cell from = placed[random.Next(static_cast<uint32_t>(placed.size()))];
    const Cell to = wire % 3 == 0 ? out : placed[random.Next(static_cast<uint32_t>(placed.size()))];
    area.Select(from.column, from.row);
    // Most modules have output 0 alone.
    area.BeginConnection(random.Next(4) == 0 ? static_cast<int32_t>(random.Next(5)) : 0);
    area.Select(to.column, to.row);
    area.CompleteConnection(static_cast<int32_t>(random.Next(5)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool generated = argc == 5 && std::strcmp(argv[1], "--generated") == 0;
  if (argc != 4 && !generated) {
    std::fprintf(stderr, "Usage: varnotek-render-raw [--generated SEED | PATCH.pch] FRAMES OUT.raw\n");
    return 2;
  }
  const char* source = argv[argc - 3];
  const long frames = std::strtol(argv[argc - 2], nullptr, 10);
  InitDspMemory();
  PatchArea area;
  if (generated) {
    Generate(area, static_cast<uint32_t>(std::strtoul(source, nullptr, 10)));
  } else {
    std::snprintf(area.filePath, sizeof area.filePath, "%s", source);
    area.LoadPatch(nullptr);
    if (area.lastLoadResult != LoadResult::Loaded) return 1;
  }
  std::FILE* out = std::fopen(argv[argc - 1], "wb");
  if (out == nullptr) return 1;
  std::vector<int16_t> buffer(2 * 4096);
  std::vector<unsigned char> bytes(4 * 4096);
  for (long done = 0; done < frames; done += 4096) {
    const int32_t count = static_cast<int32_t>(frames - done < 4096 ? frames - done : 4096);
    RenderFrames(buffer.data(), count);
    for (int32_t i = 0; i < 4 * count; ++i) bytes[i] = static_cast<unsigned char>(static_cast<uint16_t>(buffer[i / 2]) >> (8 * (i % 2)));
    std::fwrite(bytes.data(), 1, 4 * static_cast<size_t>(count), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
