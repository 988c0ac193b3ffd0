// The audio file varnotek-render writes. A regular file (or a new one) is
// written beside its name and renamed into place only when it is whole; a
// FIFO or device named as the output is written straight into and never
// removed. Errors are reported in the words of the call that failed: the
// system's for a failed write, libsndfile's for everything else.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>

#include "file/ReplacementFile.h"
#include "tools/RenderOptions.h"

class SoundFileOutput {
 public:
  SoundFileOutput() = default;
  ~SoundFileOutput() { Abandon(); }
  SoundFileOutput(const SoundFileOutput&) = delete;
  SoundFileOutput& operator=(const SoundFileOutput&) = delete;

  // False, with the reason in `error`, when the output cannot be started.
  // `frames` is how many frames the render will write.
  bool Open(const std::string& path, OutputKind kind, int64_t frames, std::string& error);
  bool Write(const int16_t* frames, int32_t count, std::string& error);
  // Completes the file and puts it in place.
  bool Finish(std::string& error);
  // Drops what was written to a temporary file; a FIFO or device keeps
  // whatever it was sent.
  void Abandon();
  // Whether the output is a FIFO or device written in place.
  bool WritesInPlace() const { return inPlace_; }

 private:
  std::string Reason(const char* operation) const;

  std::string path_;
  ReplacementFile replacement_;
  int descriptor_ = -1;
  bool inPlace_ = false;
  SNDFILE* file_ = nullptr;
  // The errno of the last failed system write, 0 while every write went through.
  int writeError_ = 0;

  friend struct SoundFileIo;
};
