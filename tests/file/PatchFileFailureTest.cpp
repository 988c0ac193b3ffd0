// Saving and loading when the file system does not cooperate: a save that
// fails leaves the old file as it was and says why; a read error leaves the
// open patch alone.
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>

#include "PatchFileTestSupport.h"
#include "file/ReplacementFile.h"

namespace {

namespace fs = std::filesystem;

using PatchFileFailureTest = PatchModelTest;

constexpr char kOldText[] = "the user's earlier patch\n";

// Files may hold only a few bytes while it lives, as on a full disk; writes
// beyond the limit fail with EFBIG instead of raising SIGXFSZ.
struct FullDisk {
  FullDisk() {
    getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tiny{64, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &tiny);
  }
  ~FullDisk() { setrlimit(RLIMIT_FSIZE, &before); }
  rlimit before{};
};

long Entries(const fs::path& folder) { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }

TEST_F(PatchFileFailureTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
  enum Target { OldFile, LinkToOldFile, OnFullDisk, MissingFolder, Fifo };
  // nullptr: the save succeeds.
  const std::pair<Target, const char*> cases[] = {{OldFile, nullptr}, {LinkToOldFile, nullptr}, {OnFullDisk, "File too large"},
                                                  {MissingFolder, "No such file or directory"}, {Fifo, "not a regular file"}};
  for (const auto& [target, reason] : cases) {
    SCOPED_TRACE(target);
    messages.shown.clear();
    const TemporaryFolder temporary;
    const fs::path folder = temporary.path;
    const fs::path old = folder / "old.pch";
    std::ofstream(old) << kOldText;
    fs::permissions(old, fs::perms(0640));
    fs::path path = old;
    if (target == MissingFolder) path = folder / "missing" / "p.pch";
    if (target == Fifo) mkfifo((path = folder / "fifo.pch").c_str(), 0644);
    // A chain of links, each relative to its own folder, the second target
    // shorter than the first.
    if (target == LinkToOldFile) {
      fs::create_directory(folder / "sub");
      fs::create_symlink("../old.pch", folder / "sub" / "a-longer-link-name.pch");
      fs::create_symlink("sub/a-longer-link-name.pch", path = folder / "link.pch");
    }
    PatchArea area;
    area.SetModuleAt(0, 0, ModuleTypeId::kOSC);
    SetPath(area, path.string());
    {
      std::optional<FullDisk> full;
      if (target == OnFullDisk) full.emplace();
      area.SavePatch(&ownerWindow);
    }

    if (reason == nullptr) {
      EXPECT_TRUE(messages.shown.empty());
      EXPECT_EQ(ReadWholeFile(old), SaveToText(area));
      EXPECT_EQ(fs::status(old).permissions(), fs::perms(0640));
    } else {
      EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Could not save the patch to " + path.string() + ": " + reason});
      EXPECT_EQ(ReadWholeFile(old), kOldText);
    }
    // The name keeps its kind, and nothing is left behind: the old file, and the links or FIFO named.
    const std::pair<fs::file_type, long> kept[] = {{fs::file_type::regular, 1}, {fs::file_type::symlink, 3}, {fs::file_type::regular, 1},
                                                   {fs::file_type::not_found, 1}, {fs::file_type::fifo, 2}};
    EXPECT_EQ(std::make_pair(fs::symlink_status(path).type(), Entries(folder)), kept[target]);
  }
}

// The last step can fail too: a name that became a folder after the file
// was created cannot be renamed over; nothing is left behind.
TEST_F(PatchFileFailureTest, ACommitThatCannotRenameFailsAndCleansUp) {
  const TemporaryFolder temporary;
  const fs::path folder = temporary.path;
  ReplacementFile file;
  ASSERT_TRUE(file.Create((folder / "p.pch").string()));
  fs::create_directory(folder / "p.pch");
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(Entries(folder), 1);
}

TEST_F(PatchFileFailureTest, AReadErrorLeavesTheOpenPatchAlone) {
  const TemporaryFolder folder;
  const std::string huge = folder.path + "/huge.pch";
  std::ofstream(huge).close();
  fs::resize_file(huge, kMostPatchFileBytes + 1);
  const std::pair<std::string, int> cases[] = {{"/proc/self/mem", EIO}, {huge, EFBIG}};
  for (const auto& [path, error] : cases) {
    PatchArea area;
    area.SetModuleAt(3, 3, ModuleTypeId::kVCA);
    SetPath(area, path);
    area.LoadPatch(&ownerWindow);
    EXPECT_EQ(area.lastLoadResult, LoadResult::CannotRead) << path;
    EXPECT_EQ(area.lastLoadError, error) << path;
    EXPECT_NE(area.ModuleAt(3, 3), nullptr) << path;
    EXPECT_TRUE(messages.shown.empty()) << path;
  }
}

}  // namespace
