// Saving and loading when the file system does not cooperate: a save that
// fails leaves the old file as it was and says why; a read error leaves the
// open patch alone.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "PatchFileTestSupport.h"
#include "dsp/MessageSink.h"

namespace {

namespace fs = std::filesystem;

constexpr char kOldText[] = "the user's earlier patch\n";

enum class Target { OldFile, MissingFolder, Fifo, LinkToOldFile, FullDisk };

struct SaveCase {
  const char* name;
  Target target;
  const char* reason;  // nullptr: the save succeeds
};

class PatchFileFailureTest : public PatchFileTest {
 protected:
  void SetUp() override {
    PatchFileTest::SetUp();
    folder = fs::path(::testing::TempDir()) / ("varnotek-save-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // What the path names after Prepare, and where the old text lives.
  std::string Prepare(Target target) {
    const fs::path old = folder / "old.pch";
    std::ofstream(old) << kOldText;
    chmod(old.c_str(), 0640);
    switch (target) {
      case Target::MissingFolder: return (folder / "missing" / "p.pch").string();
      case Target::Fifo: mkfifo((folder / "fifo.pch").c_str(), 0644); return (folder / "fifo.pch").string();
      case Target::LinkToOldFile: fs::create_symlink("old.pch", folder / "link.pch"); return (folder / "link.pch").string();
      default: return old.string();
    }
  }

  // Saves in a child whose files may hold only a few bytes, as on a full
  // disk; the messages come back through a pipe.
  std::vector<std::string> SaveOnFullDisk(PatchArea& area) {
    int channel[2];
    if (pipe(channel) != 0) return {"pipe failed"};
    const pid_t child = fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);  // writes beyond the limit then fail with EFBIG
      const rlimit tiny{64, 64};
      setrlimit(RLIMIT_FSIZE, &tiny);
      area.SavePatch(&ownerWindow);
      for (const std::string& text : messages.Texts()) (void)!write(channel[1], text.c_str(), text.size() + 1);
      _exit(0);
    }
    close(channel[1]);
    std::string all;
    char chunk[256];
    for (ssize_t got; (got = read(channel[0], chunk, sizeof chunk)) > 0;) all.append(chunk, got);
    close(channel[0]);
    waitpid(child, nullptr, 0);
    std::vector<std::string> texts;
    for (size_t start = 0; start < all.size(); start = all.find('\0', start) + 1) texts.push_back(all.c_str() + start);
    return texts;
  }

  fs::path folder;
};

TEST_F(PatchFileFailureTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
  const SaveCase cases[] = {
      {"replace", Target::OldFile, nullptr},
      {"through a symlink", Target::LinkToOldFile, nullptr},
      {"full disk", Target::FullDisk, "File too large"},
      {"missing folder", Target::MissingFolder, "No such file or directory"},
      {"fifo", Target::Fifo, "not a regular file"},
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    PatchArea area;
    area.SetModuleAt(0, 0, ModuleTypeId::kOSC);
    const std::string path = Prepare(c.target);
    std::snprintf(area.filePath, sizeof area.filePath, "%s", path.c_str());
    const std::vector<std::string> shown = c.target == Target::FullDisk ? SaveOnFullDisk(area) : [&] {
      area.SavePatch(&ownerWindow);
      return messages.Texts();
    }();

    const std::string old = (folder / "old.pch").string();
    if (c.reason == nullptr) {
      EXPECT_TRUE(shown.empty());
      EXPECT_EQ(ReadWholeFile(old), SaveToText(area));
      EXPECT_EQ(fs::status(old).permissions(), fs::perms(0640));
    } else {
      EXPECT_EQ(shown, std::vector<std::string>{"Could not save the patch to " + path + ": " + c.reason});
      EXPECT_EQ(ReadWholeFile(old), kOldText);
    }
    if (c.target == Target::LinkToOldFile) {
      EXPECT_TRUE(fs::is_symlink(path));
    }
    if (c.target == Target::Fifo) {
      EXPECT_TRUE(fs::is_fifo(path));
    }
    int entries = 0;  // nothing left behind: the old file, and the link or FIFO named
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, c.target == Target::LinkToOldFile || c.target == Target::Fifo ? 2 : 1);
    messages.shown.clear();
    TearDown();
  }
}

TEST_F(PatchFileFailureTest, AReadErrorLeavesTheOpenPatchAlone) {
  const fs::path huge = folder / "huge.pch";
  std::ofstream(huge).close();
  fs::resize_file(huge, kMostPatchFileBytes + 1);
  const struct {
    std::string path;
    int error;
  } cases[] = {{"/proc/self/mem", EIO}, {huge.string(), EFBIG}};
  for (const auto& c : cases) {
    PatchArea area;
    area.SetModuleAt(3, 3, ModuleTypeId::kVCA);
    std::snprintf(area.filePath, sizeof area.filePath, "%s", c.path.c_str());
    area.LoadPatch(&ownerWindow);
    EXPECT_EQ(area.lastLoadResult, LoadResult::CannotRead) << c.path;
    EXPECT_EQ(area.lastLoadError, c.error) << c.path;
    EXPECT_NE(area.ModuleAt(3, 3), nullptr) << c.path;
    EXPECT_TRUE(messages.shown.empty()) << c.path;
  }
}

}  // namespace
