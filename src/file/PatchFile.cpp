// The two PatchArea operations that work on the file named in filePath.
#include "file/PatchFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "dsp/MessageSink.h"
#include "file/ReplacementFile.h"

namespace {

constexpr size_t kReadChunk = 64 * 1024;

// filePath is filled by dialogs and callers; a path without its terminator names no file.
bool PathIsTerminated(const char* path, size_t size) { return std::memchr(path, '\0', size) != nullptr; }

// The whole file, or false with errno set. A read error is not an end of
// file: a half-read patch must not replace the one that is open.
bool ReadWholeStream(std::FILE* file, std::string& text) {
  char chunk[kReadChunk];
  for (;;) {
    const size_t got = std::fread(chunk, 1, sizeof chunk, file);
    text.append(chunk, got);
    if (text.size() > kMostPatchFileBytes) {
      errno = EFBIG;
      return false;
    }
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file)) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return true;
}

void ReportSaveFailure(void* ownerWindow, const char* path, const char* reason) {
  std::string text = std::string("Could not save the patch to ") + path + ": " + reason;
  ShowMessage(ownerWindow, text.c_str(), MessageIcon::Warning);
}

// Writes the text through its own stream on a copy of the descriptor, so
// that every buffered write and the close are checked here.
bool WriteText(const PatchArea& area, int descriptor) {
  const int copy = dup(descriptor);
  std::FILE* stream = copy >= 0 ? fdopen(copy, "w") : nullptr;
  if (stream == nullptr) {
    if (copy >= 0) close(copy);
    return false;
  }
  WritePatch(area, stream);
  bool written = std::fflush(stream) == 0 && !std::ferror(stream);
  const int error = errno;
  const bool closed = std::fclose(stream) == 0;
  if (!written) errno = error;
  return written && closed;
}

}  // namespace

void PatchArea::LoadPatch(void* ownerWindow) {
  lastLoadError = 0;
  // Binary mode: the same bytes on every platform; the reader takes CR as white space.
  errno = ENAMETOOLONG;
  std::FILE* file = PathIsTerminated(filePath, sizeof(filePath)) ? std::fopen(filePath, "rb") : nullptr;
  if (file == nullptr) {
    lastLoadResult = LoadResult::CannotOpen;
    lastLoadError = errno;
    return;
  }
  std::string text;
  errno = 0;
  const bool read = ReadWholeStream(file, text);
  lastLoadError = errno;
  std::fclose(file);
  if (!read) {
    lastLoadResult = LoadResult::CannotRead;
    return;
  }
  lastLoadError = 0;
  lastLoadResult = LoadPatchFromText(*this, text.data(), text.size(), ownerWindow);
}

void PatchArea::SavePatch(void* ownerWindow) {
  if (!PathIsTerminated(filePath, sizeof(filePath))) {
    ShowMessage(ownerWindow, "Could not save the patch: the file name is too long", MessageIcon::Warning);
    return;
  }
  // A device or FIFO cannot be replaced, and a folder is not a patch.
  if (KindOfTarget(filePath) == TargetKind::Other) {
    ReportSaveFailure(ownerWindow, filePath, "not a regular file");
    return;
  }
  ReplacementFile file;
  if (!file.Create(filePath) || !WriteText(*this, file.Descriptor()) || !file.Commit()) {
    const int error = errno;
    file.Discard();
    ReportSaveFailure(ownerWindow, filePath, std::strerror(error));
  }
}
