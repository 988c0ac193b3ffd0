#include "tools/SoundFileOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// libsndfile reaches the output through these, so that a failed write keeps
// its errno (libsndfile itself would only say that the encoder failed).
struct SoundFileIo {
  static SoundFileOutput& Of(void* output) { return *static_cast<SoundFileOutput*>(output); }

  static sf_count_t Length(void* output) {
    struct stat status {};
    return fstat(Of(output).descriptor_, &status) == 0 ? status.st_size : -1;
  }
  static sf_count_t Seek(sf_count_t offset, int whence, void* output) {
    return lseek(Of(output).descriptor_, offset, whence);
  }
  static sf_count_t Read(void* data, sf_count_t count, void* output) {
    const ssize_t got = read(Of(output).descriptor_, data, static_cast<size_t>(count));
    return got < 0 ? 0 : got;
  }
  static sf_count_t Write(const void* data, sf_count_t count, void* output) {
    SoundFileOutput& self = Of(output);
    const char* bytes = static_cast<const char*>(data);
    sf_count_t done = 0;
    while (done < count) {
      const ssize_t put = write(self.descriptor_, bytes + done, static_cast<size_t>(count - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        self.writeError_ = put < 0 ? errno : ENOSPC;
        break;
      }
      done += put;
    }
    return done;
  }
  static sf_count_t Tell(void* output) { return lseek(Of(output).descriptor_, 0, SEEK_CUR); }
};

namespace {

SF_VIRTUAL_IO kOutputIo{SoundFileIo::Length, SoundFileIo::Seek, SoundFileIo::Read, SoundFileIo::Write,
                        SoundFileIo::Tell};

// A RIFF WAVE counts its bytes in 32 bits. A render whose frames would not
// fit (with room for the header) is written as RF64, which libsndfile turns
// back into a plain WAVE at the end should the render stop short; anything
// smaller is a plain WAVE from the start, as every reader expects.
constexpr int64_t kMostPlainWaveBytes = 0xFFFFFFFFll - 4096;

int SoundFileFormat(OutputKind kind, int64_t frames) {
  switch (kind) {
    case OutputKind::Wav:
      return (frames * 4 > kMostPlainWaveBytes ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    case OutputKind::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case OutputKind::Raw: return SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
  }
  return 0;
}

}  // namespace

std::string SoundFileOutput::Reason(const char* operation) const {
  const std::string what = "cannot write " + path_ + ": ";
  if (writeError_ != 0) return what + std::strerror(writeError_);
  return what + operation + ": " + sf_strerror(file_);
}

bool SoundFileOutput::Open(const std::string& path, OutputKind kind, int64_t frames, std::string& error) {
  path_ = path;
  inPlace_ = KindOfTarget(path) == TargetKind::Other;
  if (inPlace_) {
    descriptor_ = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  } else if (replacement_.Create(path)) {
    descriptor_ = replacement_.Descriptor();
  }
  if (descriptor_ < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }

  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SoundFileFormat(kind, frames);
  file_ = sf_open_virtual(&kOutputIo, SFM_WRITE, &info, this);
  if (file_ == nullptr) {
    error = Reason("starting the file");
    Abandon();
    return false;
  }
  if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64) sf_command(file_, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  return true;
}

bool SoundFileOutput::Write(const int16_t* frames, int32_t count, std::string& error) {
  if (sf_writef_short(file_, frames, count) == count) return true;
  error = Reason("writing frames");
  return false;
}

bool SoundFileOutput::Finish(std::string& error) {
  const int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0) {
    error = writeError_ != 0 ? Reason("") : "cannot write " + path_ + ": closing the file: " + sf_error_number(closed);
    Abandon();
    return false;
  }
  if (inPlace_) {
    const bool ok = close(descriptor_) == 0;
    descriptor_ = -1;
    if (!ok) error = "cannot write " + path_ + ": " + std::strerror(errno);
    return ok;
  }
  descriptor_ = -1;
  if (!replacement_.Commit()) {
    error = "cannot write " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void SoundFileOutput::Abandon() {
  if (file_ != nullptr) sf_close(file_);
  file_ = nullptr;
  if (inPlace_ && descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  replacement_.Discard();
}
