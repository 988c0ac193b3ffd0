#include "file/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symlinks to the path they end at, which may not exist
// yet. Relative links are taken from the folder of the link.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length < 0) return path;
    target[length] = '\0';
    path = target[0] == '/' ? std::string(target) : FolderOf(path) + "/" + target;
  }
  return path;
}

// A name in the target's folder that no one else uses: hidden, and ending
// in a random part, opened exclusively.
int CreateBeside(const std::string& finalPath, std::string& temporaryPath) {
  static unsigned counter = 0;
  const std::string stem = FolderOf(finalPath) + "/." + BaseNameOf(finalPath) + ".";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[32];
    const unsigned mix = static_cast<unsigned>(getpid()) * 2654435761u ^ static_cast<unsigned>(std::time(nullptr)) ^
                         (++counter * 40503u);
    std::snprintf(suffix, sizeof suffix, "%08x.tmp", mix);
    temporaryPath = stem + suffix;
    const int descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

}  // namespace

TargetKind KindOfTarget(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return TargetKind::Missing;
  return S_ISREG(status.st_mode) ? TargetKind::Regular : TargetKind::Other;
}

bool ReplacementFile::Create(const std::string& target) {
  Discard();
  finalPath_ = FollowLinks(target);
  descriptor_ = CreateBeside(finalPath_, temporaryPath_);
  if (descriptor_ < 0) temporaryPath_.clear();
  return descriptor_ >= 0;
}

bool ReplacementFile::Commit() {
  if (descriptor_ < 0) {
    errno = EBADF;
    return false;
  }
  // The replaced file keeps its permissions; a new one gets the umask's.
  struct stat replaced {};
  if (stat(finalPath_.c_str(), &replaced) == 0) fchmod(descriptor_, replaced.st_mode & 07777);
  const bool written = fsync(descriptor_) == 0;
  int error = errno;
  const bool closed = close(descriptor_) == 0;
  if (written && !closed) error = errno;
  descriptor_ = -1;
  if (written && closed && rename(temporaryPath_.c_str(), finalPath_.c_str()) == 0) {
    temporaryPath_.clear();
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(finalPath_).c_str(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
      fsync(folder);
      close(folder);
    }
    return true;
  }
  if (written && closed) error = errno;
  Discard();
  errno = error;
  return false;
}

void ReplacementFile::Discard() {
  const int error = errno;
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  errno = error;
}
