// The patch file writer: every item on a line of its own, modules in the
// order of their anchor cells, row by row.
#include <cstdint>
#include <cstring>

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "file/PatchFile.h"

namespace {

void WriteJoined(std::FILE* file, const int32_t* values, int32_t count) {
  for (int32_t k = 0; k < count; ++k) std::fprintf(file, k == 0 ? "%ld" : ",%ld", static_cast<long>(values[k]));
}

bool BankIsEmpty(int32_t bank) {
  for (int32_t track = 0; track < kDrumTracks; ++track)
    for (int32_t step = 0; step < kDrumSteps; ++step)
      if (GetDrumByte(DrumByteOffset(0, bank, track, step)) != 0) return false;
  return true;
}

// Banks that hold only zeros are left out; a load starts from a cleared buffer.
void WriteDrumBanks(std::FILE* file) {
  for (int32_t bank = 0; bank < kDrumBanks; ++bank) {
    if (BankIsEmpty(bank)) continue;
    for (int32_t track = 0; track < kDrumTracks; ++track) {
      int32_t steps[kDrumSteps];
      for (int32_t step = 0; step < kDrumSteps; ++step) steps[step] = GetDrumByte(DrumByteOffset(0, bank, track, step));
      std::fprintf(file, "TRACK %d,%d ", static_cast<int>(track), static_cast<int>(bank));
      WriteJoined(file, steps, kDrumSteps);
      std::fputc('\n', file);
    }
  }
}

void WriteModule(std::FILE* file, const BlockModule& module) {
  std::fprintf(file, "{{{MODULE %d,%d,%s\n", static_cast<int>(module.posX), static_cast<int>(module.posY),
               TypeName(module.type));

  int32_t controllers[kModuleControllerCount];
  for (int32_t c = 0; c < kModuleControllerCount; ++c) controllers[c] = module.GetController(c);
  std::fputs("CONTROLLERS ", file);
  WriteJoined(file, controllers, kModuleControllerCount);
  std::fputc('\n', file);

  // Positions come from the live source, which may have moved since the wire was recorded.
  for (int32_t i = 0; i < kModuleInputCount; ++i) {
    const BlockModule* source = module.inputSource[i];
    if (source == nullptr) continue;
    std::fprintf(file, "INPUT %d,%d,%d,%d\n", static_cast<int>(i), static_cast<int>(source->posX),
                 static_cast<int>(source->posY), static_cast<int>(module.inputSourceOutput[i]));
  }

  if (module.type == ModuleTypeId::kOSC || module.type == ModuleTypeId::kFLT)
    std::fprintf(file, "MODE %d\n", static_cast<int>(module.mode));

  if (module.type == ModuleTypeId::kSEQ) {
    int32_t steps[kSequencerSteps] = {};
    if (module.dspBlock != kNone)
      for (int32_t s = 0; s < kSequencerSteps; ++s) steps[s] = DspMemory.Load(module.dspBlock + BlockWord::kStep + s);
    std::fputs("SEQSTEPS ", file);
    WriteJoined(file, steps, kSequencerSteps);
    std::fputc('\n', file);
  }

  if (module.type == ModuleTypeId::kDRM) WriteDrumBanks(file);

  std::fputs("}}}MODULE\n", file);
}

}  // namespace

void WritePatch(const PatchArea& area, std::FILE* file) {
  std::fputs("FILETYPE PCH\n", file);
  std::fputs("PROGRAM VARNOTEK\n", file);
  std::fprintf(file, "VERSION %s\n", kPatchFileVersion);
  std::fprintf(file, "NAME %.*s\n", static_cast<int>(strnlen(area.filePath, sizeof(area.filePath))), area.filePath);
  std::fputs("{{{PATCH\n", file);
  std::fprintf(file, "PATCHSIZE %d,%d\n", static_cast<int>(kGridColumns), static_cast<int>(kGridRows));
  for (int32_t row = 0; row < kGridRows; ++row) {
    for (int32_t column = 0; column < kGridColumns; ++column) {
      const BlockModule* module = area.ModuleAt(column, row);
      if (module != nullptr && module->type != ModuleTypeId::kNoModule) WriteModule(file, *module);
    }
  }
  std::fputs("}}}PATCH\n", file);
}
