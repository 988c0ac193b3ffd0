#include "PatchTestSupport.h"

int32_t CountModules(const PatchArea& area) {
  int32_t count = 0;
  for (int32_t row = 0; row < kGridRows; ++row)
    for (int32_t column = 0; column < kGridColumns; ++column) count += area.ModuleAt(column, row) != nullptr;
  return count;
}

int32_t CountFreeBlocks() {
  int32_t count = 0;
  for (int32_t b = FreeListHead; b != -1 && count <= kDspBlockCount; b = Word(b + BlockWord::kNext)) ++count;
  return count;
}

bool Unwired(const BlockModule& m) {
  for (int32_t i = 0; i < kModuleInputCount; ++i)
    if (m.inputSource[i] != nullptr || m.inputSourceOutput[i] != -1 || m.inputSourceX[i] != -1 ||
        m.inputSourceY[i] != -1 ||
        (m.dspBlock != -1 && Word(m.dspBlock + BlockWord::kInput + i) != m.dspBlock + DefaultInputSource(m.type, i)))
      return false;
  return true;
}
