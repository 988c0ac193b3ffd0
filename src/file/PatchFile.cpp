// The two PatchArea operations that work on the file named in filePath.
#include "file/PatchFile.h"

#include <cstring>

namespace {

// filePath is filled by dialogs and callers; a path without its terminator names no file.
bool PathIsTerminated(const char* path, size_t size) { return std::memchr(path, '\0', size) != nullptr; }

}  // namespace

void PatchArea::LoadPatch(void* ownerWindow) {
  // Binary mode: the same bytes on every platform; the reader takes CR as white space.
  std::FILE* file = PathIsTerminated(filePath, sizeof(filePath)) ? std::fopen(filePath, "rb") : nullptr;
  if (file == nullptr) {
    lastLoadResult = LoadResult::CannotOpen;
    return;
  }
  lastLoadResult = LoadPatchFromStream(*this, file, ownerWindow);
  std::fclose(file);
}

void PatchArea::SavePatch() {
  // Text mode: the platform's own line ends.
  std::FILE* file = PathIsTerminated(filePath, sizeof(filePath)) ? std::fopen(filePath, "w") : nullptr;
  if (file == nullptr) return;
  WritePatch(*this, file);
  std::fclose(file);
}
