// The atomic save: replacing only on commit, through links the user may trust, keeping owner and
// permissions, refusing what the user cannot write, cleaning up after killed saves; and paths
// that never rest on a working folder the system could not name.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "engine/engine_support.h"

namespace wordloom {
namespace {

using test::InChild;
using test::ReadFile;
using test::TempFolder;

constexpr uid_t kNobody = 65534;  // the other user of the tests that run as root

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

// Saves `text` to `path`; the status of whichever step failed.
Status Save(const std::string& path, const std::string& text) {
  AtomicFile file;
  Status status = file.Open(path);
  if (!status.ok()) return status;
  file.writer().Write(text);
  return file.Commit();
}

TEST(AtomicFile, ReplacesOnlyOnCommit) {
  TempFolder folder;
  const std::string target = folder.Write("p.wlm", "old");
  const std::string text(300000, 'n');  // more than the writer's buffer
  {
    AtomicFile file;
    ASSERT_TRUE(file.Open(target).ok());
    file.writer().Write(text);
  }
  EXPECT_EQ(ReadFile(target), "old");
  AtomicFile file;
  ASSERT_TRUE(file.Open(target).ok());
  file.writer().Write(text);
  file.writer().Put('!');
  EXPECT_EQ(ReadFile(target), "old");
  ASSERT_TRUE(file.Commit().ok());
  EXPECT_EQ(ReadFile(target), text + "!");
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "p.wlm") << "no temporary file is left behind";
  }
}

// The new file keeps the old one's owner and permissions but no special bit. A file the saver
// may not write is refused and left as it was; for root only the mode decides (no write bit at
// all), for another user the system's answer.
TEST(AtomicFile, KeepsOwnerAndPermissionsAndRefusesAFileTheUserCannotWrite) {
  const bool root = ::geteuid() == 0;
  // The mode before and after saving (0: the save is refused); `asOtherUser`: a file of root's,
  // saved by another user who may write its folder.
  const struct { mode_t before; bool asOtherUser; mode_t after; } cases[] = {
      {0604, false, 0604}, {04755, false, 0755}, {02775, false, 0775}, {01666, false, 0666}, {0200, false, 0200},
      {0444, false, 0},    {0400, false, 0},     {0644, true, 0},      {0666, true, 0666},
  };
  for (const auto& c : cases) {
    if (c.asOtherUser && !root) continue;
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0777);
    const std::string path = folder.Write("p.wlm", "old");
    // Root saves a file of another user's, which must stay that user's.
    const uid_t owner = root && !c.asOtherUser ? kNobody : ::geteuid();
    const gid_t group = root && !c.asOtherUser ? kNobody : ::getegid();
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
    const std::string message = InChild([&] { return Save(path, "new").message(); }, c.asOtherUser ? kNobody : -1);
    EXPECT_EQ(message, c.after ? "" : "the file is read-only") << std::oct << c.before;
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_mode & 07777, c.after ? c.after : c.before) << std::oct << c.before;
    EXPECT_TRUE(c.asOtherUser || (after.st_uid == owner && after.st_gid == group)) << std::oct << c.before;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), c.after ? "new" : "old") << std::oct << c.before;
  }
}

// Saving through a link of the user's own, dangling or not, replaces the file it points to;
// the link stays.
TEST(AtomicFile, WritesThroughASymbolicLink) {
  for (bool targetExists : {true, false}) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("shared"));
    const std::string real = folder.File("shared/p.wlm"), link = folder.File("p.wlm");
    if (targetExists) folder.Write("shared/p.wlm", "old");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(Save(link, "new").ok());
    EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode)) << "the link stays";
    EXPECT_EQ(ReadFile(real), "new");
  }
}

TEST(AtomicFile, LinksAnotherUserCouldHavePlantedAreNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
  // The owners of the link and of the sticky world-writable folder it lies in; `chain`: the file
  // saved is a link of root's, in a folder of root's, to that link.
  const struct { const char* name; uid_t linkOwner, folderOwner; bool chain, followed; } cases[] = {
      {"root's link in root's sticky folder", 0, 0, false, true},
      {"another user's link", kNobody, 0, false, false},
      {"root's link in another user's sticky folder", 0, kNobody, false, false},
      {"root's link to another user's link", kNobody, 0, true, false},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string target = folder.Write("target.wlm", "old");
    const std::string shared = folder.File("shared"), link = folder.File("shared/p.wlm");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
    std::string saved = link;
    if (c.chain) {
      saved = folder.File("p.wlm");
      std::filesystem::create_symlink(link, saved);
    }
    const Status status = Save(saved, "new");
    EXPECT_EQ(status.message(), c.followed ? "" : "it is a link owned by another user") << c.name;
    EXPECT_EQ(ReadFile(target), c.followed ? "new" : "old") << c.name;
    EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode)) << c.name;
  }
}

TEST(AtomicFile, TemporaryFilesOfKilledSavesAreRemoved) {
  const bool root = ::geteuid() == 0;
  enum Kind { kFile, kFolder, kLink, kOtherUsersFile };
  // `old`: unchanged for long.
  const struct { const char* name; Kind kind; bool old, removed; } cases[] = {
      {".p.wlm.AbC123", kFile, true, true},
      {".p.wlm.XyZ789", kFile, false, false},  // a save under way
      {".p.wlm.AbC-23", kFile, true, false},
      {".q.wlm.AbC123", kFile, true, false},
      {".p.wlm.Dir456", kFolder, true, false},
      {".p.wlm.Lnk789", kLink, true, false},
      {".p.wlm.Oth123", kOtherUsersFile, true, false},
  };
  TempFolder folder;
  const std::string victim = folder.Write("victim", "keep");
  for (const auto& c : cases) {
    const std::string path = folder.File(c.name);
    if (c.kind == kFolder) {
      std::filesystem::create_directory(path);
    } else if (c.kind == kLink) {
      std::filesystem::create_symlink(victim, path);
    } else {
      folder.Write(c.name, "left behind");
      if (c.kind == kOtherUsersFile && root) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
      }
    }
    // A save under way has just written to its file: an hour ahead stands for that whatever
    // the clock does while the test runs.
    const time_t when = c.old ? 1000000000 : ::time(nullptr) + 3600;
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << c.name;
  }
  ASSERT_TRUE(Save(folder.File("p.wlm"), "new").ok());
  for (const auto& c : cases) {
    if (c.kind == kOtherUsersFile && !root) continue;
    struct stat info {};
    EXPECT_EQ(::lstat(folder.File(c.name).c_str(), &info) != 0, c.removed) << c.name;
  }
  EXPECT_EQ(ReadFile(victim), "keep");
}

// A working folder removed while in use: relative paths are refused with a message, never
// taken from another folder; absolute paths still serve. (A folder too deep to name is a case
// of the command-line tool's bad-input tests.)
TEST(WorkingFolder, OneThatNoLongerExistsIsReported) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("gone"));
  const int gone = ::open(folder.File("gone").c_str(), O_RDONLY | O_DIRECTORY);
  std::filesystem::remove(folder.File("gone"));
  const std::string message = "The working folder no longer exists.";
  EXPECT_EQ(InChild([&] {
              std::string found, absolute, rooted;
              if (::fchdir(gone) != 0) return std::string("failed");
              return WorkingFolder(found).message() + "\n" + AbsoluteNormalPath("t.txt", absolute).message() + "\n" +
                     AbsoluteNormalPath("/a/../t.txt", rooted).message() + rooted;
            }),
            message + "\n" + message + "\n/t.txt");
  ::close(gone);
}

}  // namespace
}  // namespace wordloom
