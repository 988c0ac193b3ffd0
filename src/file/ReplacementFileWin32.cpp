// The replacement file on Windows: created beside its target with
// CREATE_NEW, flushed with FlushFileBuffers, and moved over the target with
// MoveFileExA, which replaces an existing file in one step. Links are not
// followed and no mode bits are copied: Windows users rarely make the one
// and files have none of the other.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "file/ReplacementFile.h"

namespace {

constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The errno that the C library would give for the system's error.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    default: return EIO;
  }
}

int CreateBeside(const std::string& finalPath, std::string& temporaryPath) {
  static unsigned counter = 0;
  const std::string stem = FolderOf(finalPath) + "\\." + BaseNameOf(finalPath) + ".";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[32];
    const unsigned mix = static_cast<unsigned>(GetCurrentProcessId()) * 2654435761u ^ GetTickCount() ^ (++counter * 40503u);
    std::snprintf(suffix, sizeof suffix, "%08x.tmp", mix);
    temporaryPath = stem + suffix;
    HANDLE file = CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
      if (descriptor < 0) CloseHandle(file);
      return descriptor;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      errno = ErrnoOf(error);
      return -1;
    }
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

TargetKind KindOfTarget(const std::string& path) {
  struct _stat64 status {};
  if (_stat64(path.c_str(), &status) != 0) return TargetKind::Missing;
  return (status.st_mode & _S_IFMT) == _S_IFREG ? TargetKind::Regular : TargetKind::Other;
}

bool ReplacementFile::Create(const std::string& target) {
  Discard();
  finalPath_ = target;
  descriptor_ = CreateBeside(finalPath_, temporaryPath_);
  if (descriptor_ < 0) temporaryPath_.clear();
  return descriptor_ >= 0;
}

bool ReplacementFile::Commit() {
  if (descriptor_ < 0) {
    errno = EBADF;
    return false;
  }
  const bool written = FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor_))) != 0;
  int error = written ? 0 : ErrnoOf(GetLastError());
  const bool closed = _close(descriptor_) == 0;
  if (written && !closed) error = errno;
  descriptor_ = -1;
  if (written && closed &&
      MoveFileExA(temporaryPath_.c_str(), finalPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    temporaryPath_.clear();
    return true;
  }
  if (written && closed) error = ErrnoOf(GetLastError());
  Discard();
  errno = error;
  return false;
}

void ReplacementFile::Discard() {
  const int error = errno;
  if (descriptor_ >= 0) _close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) DeleteFileA(temporaryPath_.c_str());
  temporaryPath_.clear();
  errno = error;
}
