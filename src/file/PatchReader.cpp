// The patch file reader: one word at a time, keywords compared exactly, each
// keyword's values read with a small scanf-like format, wires made only after
// the whole file is read.
#include <cstdint>
#include <cstring>

#include "dsp/DspMemory.h"
#include "dsp/MessageSink.h"
#include "dsp/Pools.h"
#include "file/PatchFile.h"

namespace {

// Stores of the reader, terminator included. Longer words are cut to them.
constexpr size_t kWordStore = 200;
constexpr size_t kVersionStore = 200;
constexpr size_t kModuleNameStore = 12;

constexpr int32_t kKnownVersionCode = 100;
constexpr int32_t kUnknownVersionCode = 101;

constexpr int kEnd = -1;

class ByteSource {
 public:
  virtual int Next() = 0;  // the next byte 0..255, or kEnd

 protected:
  ~ByteSource() = default;
};

class MemorySource final : public ByteSource {
 public:
  MemorySource(const char* text, size_t size) : text_(text), size_(size) {}
  int Next() override { return position_ < size_ ? static_cast<unsigned char>(text_[position_++]) : kEnd; }

 private:
  const char* text_;
  size_t size_;
  size_t position_ = 0;
};

// The white space of the C locale; CR counts, so CR LF line ends read like LF.
bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Reads words and values with one byte of look-ahead, never more than its
// source holds, and never writes past a store.
class Scanner {
 public:
  explicit Scanner(ByteSource& source) : source_(source) { lookahead_ = source_.Next(); }

  // Reads the next word whole and keeps what fits in the store, terminated.
  // False at the end of the text.
  bool ReadWord(char* store, size_t storeSize, size_t* length) {
    SkipSpace();
    *length = 0;
    store[0] = '\0';
    if (lookahead_ == kEnd) return false;
    while (lookahead_ != kEnd && !IsSpace(lookahead_)) {
      if (*length + 1 < storeSize) store[(*length)++] = static_cast<char>(lookahead_);
      Advance();
    }
    store[*length] = '\0';
    return true;
  }

  // Like scanf's %d: white space, an optional sign, then at least one digit.
  // A value beyond 32 bits is clamped to INT32_MIN or INT32_MAX; all its
  // digits are consumed. A sign without a digit is consumed and fails.
  bool ReadNumber(int32_t* value) {
    SkipSpace();
    bool negative = false;
    if (lookahead_ == '+' || lookahead_ == '-') {
      negative = lookahead_ == '-';
      Advance();
    }
    if (!IsDigit(lookahead_)) return false;
    constexpr int64_t kLimit = int64_t{1} << 32;  // anything at or beyond clamps either way
    int64_t magnitude = 0;
    while (IsDigit(lookahead_)) {
      if (magnitude < kLimit) magnitude = magnitude * 10 + (lookahead_ - '0');
      Advance();
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX) {
      *value = INT32_MAX;
    } else if (signedValue < INT32_MIN) {
      *value = INT32_MIN;
    } else {
      *value = static_cast<int32_t>(signedValue);
    }
    return true;
  }

  // A literal character of a value format; a mismatch is left unread.
  bool Match(char c) {
    if (lookahead_ != static_cast<unsigned char>(c)) return false;
    Advance();
    return true;
  }

  // The value formats of the keywords: ' ' and '\n' take any white space,
  // "%d" (or "%ld") takes a number into the next of `values`, "%s" a word into
  // `word` (its stored length in `wordLength`), every other character must appear literally. Stops at the first
  // mismatch and returns how many conversions succeeded; reading goes on from
  // where the format stopped.
  int32_t Scan(const char* format, int32_t* values, char* word = nullptr, size_t wordSize = 0,
               size_t* wordLength = nullptr) {
    int32_t converted = 0;
    for (const char* f = format; *f != '\0'; ++f) {
      if (*f == ' ' || *f == '\n') {
        SkipSpace();
      } else if (*f == '%') {
        ++f;
        if (*f == 'l') ++f;
        if (*f == 'd') {
          if (!ReadNumber(&values[converted])) return converted;
        } else {  // 's'
          size_t length = 0;
          if (!ReadWord(word, wordSize, &length)) return converted;
          if (wordLength != nullptr) *wordLength = length;
        }
        ++converted;
      } else if (!Match(*f)) {
        return converted;
      }
    }
    return converted;
  }

 private:
  void Advance() { lookahead_ = source_.Next(); }
  void SkipSpace() {
    while (IsSpace(lookahead_)) Advance();
  }

  ByteSource& source_;
  int lookahead_;
};

bool WordIs(const char* word, size_t length, const char* keyword) {
  return length == std::strlen(keyword) && std::memcmp(word, keyword, length) == 0;
}

void ClearDrumPattern() {
  for (int32_t offset = 0; offset < kDrumBufferCount * kDrumBufferBytes; ++offset) SetDrumByte(offset, 0);
}

class PatchReader {
 public:
  PatchReader(PatchArea& area, ByteSource& source, void* ownerWindow)
      : area_(area), scanner_(source), ownerWindow_(ownerWindow) {}

  // Returns the text of the load error, or nullptr when the whole text was read.
  const char* ReadAll() {
    char word[kWordStore];
    size_t length = 0;
    while (scanner_.ReadWord(word, sizeof(word), &length)) {
      if (const char* error = ReadKeyword(word, length); error != nullptr) return error;
    }
    return nullptr;
  }

 private:
  BlockModule* CurrentModule() const { return area_.ModuleAt(currentX_, currentY_); }

  const char* ReadKeyword(const char* word, size_t length) {
    if (WordIs(word, length, "FILETYPE") || WordIs(word, length, "PROGRAM") || WordIs(word, length, "NAME")) {
      char ignored[kWordStore];
      size_t ignoredLength = 0;
      scanner_.ReadWord(ignored, sizeof(ignored), &ignoredLength);
      return nullptr;
    }
    if (WordIs(word, length, "VERSION")) return ReadVersion();
    if (WordIs(word, length, "PATCHSIZE")) return ReadPatchSize();
    if (WordIs(word, length, "{{{MODULE")) return ReadModuleStart();
    if (WordIs(word, length, "}}}MODULE")) {
      currentX_ = -1;
      currentY_ = -1;
      return nullptr;
    }
    if (WordIs(word, length, "INPUT")) return ReadInput();
    if (WordIs(word, length, "CONTROLLERS")) return ReadControllers();
    if (WordIs(word, length, "MODE")) return ReadMode();
    if (WordIs(word, length, "SEQSTEPS")) return ReadSequencerSteps();
    if (WordIs(word, length, "TRACK")) return ReadTrack();
    return nullptr;  // every other word, "{{{PATCH" and "}}}PATCH" among them
  }

  const char* ReadVersion() {
    char version[kVersionStore];
    size_t length = 0;
    scanner_.ReadWord(version, sizeof(version), &length);
    if (WordIs(version, length, kPatchFileVersion)) versionCode_ = kKnownVersionCode;
    if (versionCode_ > kKnownVersionCode)
      ShowMessage(ownerWindow_, "This is an Patchfile of unknown type, results are unpredicable!",
                  MessageIcon::Warning);
    return nullptr;
  }

  const char* ReadPatchSize() {
    int32_t size[2] = {-1, -1};
    scanner_.Scan(" %d,%d\n", size);
    width_ = size[0];
    height_ = size[1];
    if (width_ < 1 || width_ > kGridColumns || height_ < 1 || height_ > kGridRows)
      return "Load-Error: Patch wrong size";
    return nullptr;
  }

  const char* ReadModuleStart() {
    int32_t position[2] = {-1, -1};
    char name[kModuleNameStore] = "";
    size_t nameLength = 0;
    scanner_.Scan(" %d,%d,%s\n", position, name, sizeof(name), &nameLength);
    currentX_ = position[0];
    currentY_ = position[1];
    if (currentX_ < 0 || currentX_ > width_ || currentY_ < 0 || currentY_ > height_ || currentX_ > kLastAnchorColumn ||
        currentY_ > kLastAnchorRow)
      return "Load-Error: Module out of patch area";
    // A name with a NUL byte in it names no type.
    const ModuleType type = std::strlen(name) == nameLength ? TypeOfName(name) : -1;
    if (type < 0) return nullptr;
    // The only refusal left is a new module that would cover another one.
    if (area_.SetModuleAt(currentX_, currentY_, type) == 0) return "Load-Error: Module out of patch area";
    return nullptr;
  }

  const char* ReadInput() {
    BlockModule* module = CurrentModule();
    if (module == nullptr) return "Load-Error: INPUT only allowed in MODULE block";
    int32_t values[4] = {-1, -1, -1, -1};  // input, source column, source row, source output
    scanner_.Scan(" %d,%d,%d,%d\n", values);
    const int32_t input = values[0];
    if (input < 0 || input >= kModuleInputCount) return nullptr;
    if (values[3] >= 0) {
      module->inputSourceX[input] = values[1];
      module->inputSourceY[input] = values[2];
      module->inputSourceOutput[input] = values[3];
    }
    return nullptr;
  }

  const char* ReadControllers() {
    BlockModule* module = CurrentModule();
    if (module == nullptr) return "Load-Error: CONTROLLERS only allowed in MODULE block";
    int32_t values[kModuleControllerCount];
    const int32_t count = scanner_.Scan(" %ld,%ld,%ld,%ld,%ld,%d\n", values);
    // Stored as read, without the range test of SetController.
    if (module->dspBlock != kNone)
      for (int32_t c = 0; c < count; ++c) DspMemory.Store(module->dspBlock + BlockWord::kController + c, values[c]);
    return nullptr;
  }

  const char* ReadMode() {
    BlockModule* module = CurrentModule();
    if (module == nullptr) return "Load-Error: MODE only allowed in MODULE Block";
    int32_t value[1];
    if (scanner_.Scan("%d\n", value) == 1) module->SetMode(value[0]);
    return nullptr;
  }

  const char* ReadSequencerSteps() {
    BlockModule* module = CurrentModule();
    if (module == nullptr || module->type != ModuleTypeId::kSEQ)
      return "Load-Error: SEQSTEPS only allowed in SEQ-Block";
    int32_t values[kSequencerSteps];
    const int32_t count = scanner_.Scan(" %ld,%ld,%ld,%ld,%ld,%d,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld\n", values);
    if (module->dspBlock != kNone)
      for (int32_t s = 0; s < count; ++s) DspMemory.Store(module->dspBlock + BlockWord::kStep + s, values[s]);
    return nullptr;
  }

  const char* ReadTrack() {
    const BlockModule* module = CurrentModule();
    if (module == nullptr || module->type != ModuleTypeId::kDRM) return "Load-Error: TRACK only allowed in DRM-Block";
    int32_t trackAndBank[2] = {-1, -1};
    scanner_.Scan(" %d,%d", trackAndBank);
    const int32_t track = trackAndBank[0];
    const int32_t bank = trackAndBank[1];
    if (track < 0 || track >= kDrumTracks || bank < 0 || bank >= kDrumBanks)
      return "Load-Error: TRACK number out of range";
    int32_t step[1];
    for (int32_t s = 0; s < kDrumSteps; ++s) {
      if (scanner_.Scan(s == 0 ? " %d" : ",%d", step) != 1) break;
      SetDrumByte(DrumByteOffset(0, bank, track, s), step[0] & 0xFF);
    }
    return nullptr;
  }

  PatchArea& area_;
  Scanner scanner_;
  void* ownerWindow_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t currentX_ = -1;
  int32_t currentY_ = -1;
  int32_t versionCode_ = kUnknownVersionCode;
};

// Wires wait until every module exists, so an input may name a module that
// comes later in the file. A recorded position outside the grid names no module.
void MakeRecordedWires(PatchArea& area) {
  for (int32_t row = 0; row < kGridRows; ++row) {
    for (int32_t column = 0; column < kGridColumns; ++column) {
      BlockModule* module = area.ModuleAt(column, row);
      if (module == nullptr) continue;
      for (int32_t i = 0; i < kModuleInputCount; ++i) {
        if (module->inputSourceOutput[i] == -1) continue;
        module->ConnectInput(area.ModuleAt(module->inputSourceX[i], module->inputSourceY[i]),
                             module->inputSourceOutput[i], i);
      }
    }
  }
}

LoadResult Load(PatchArea& area, ByteSource& source, void* ownerWindow) {
  area.Clear();
  // Banks the file does not list must not keep an earlier patch's steps.
  ClearDrumPattern();
  PatchReader reader(area, source, ownerWindow);
  const char* error = reader.ReadAll();
  if (error != nullptr) {
    ShowMessage(ownerWindow, error, MessageIcon::Warning);
    area.Clear();
    ClearDrumPattern();
  }
  MakeRecordedWires(area);
  return error != nullptr ? LoadResult::LoadError : LoadResult::Loaded;
}

}  // namespace

LoadResult LoadPatchFromText(PatchArea& area, const char* text, size_t size, void* ownerWindow) {
  MemorySource source(text, size);
  return Load(area, source, ownerWindow);
}
