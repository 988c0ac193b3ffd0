// A file that replaces another only once it is whole: it is written beside
// its target under a temporary name and renamed over the target at the end,
// so a full disk, a write error or an interruption leaves the old file as it
// was. Used for saved patches and rendered audio.
#pragma once

#include <string>

// What a path names before it is written.
enum class TargetKind {
  Missing,  // nothing there yet
  Regular,  // a regular file (through any symlinks)
  Other,    // a folder, FIFO, device or socket: nothing to rename over
};
TargetKind KindOfTarget(const std::string& path);

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() { Discard(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates the temporary file in the folder of `target`, or of the file a
  // symlink named `target` leads to, so that the link survives. False with
  // errno set when it cannot be created.
  bool Create(const std::string& target);
  int Descriptor() const { return descriptor_; }
  const std::string& TemporaryPath() const { return temporaryPath_; }

  // Flushes the data to disk, gives the file the permissions of the file it
  // replaces, closes it and renames it into place. False with errno set, and
  // the temporary file removed, when any step fails.
  bool Commit();
  // Closes and removes the temporary file; the target is left alone.
  void Discard();

 private:
  std::string finalPath_;
  std::string temporaryPath_;
  int descriptor_ = -1;
};
