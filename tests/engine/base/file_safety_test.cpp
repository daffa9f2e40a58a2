// Saving that another user cannot turn against the user, and paths that never rest on a
// working folder the system could not name.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "test_support.h"

namespace wordloom {
namespace {

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

// Runs `work` in a child process (as `user` when one is given) and returns what it returns.
std::string InChild(const std::function<std::string()>& work, int user = -1) {
  int pipe[2];
  EXPECT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    std::string result = "could not become the other user";
    if (user < 0 || (::setgid(static_cast<gid_t>(user)) == 0 && ::setuid(static_cast<uid_t>(user)) == 0)) {
      result = work();
    }
    const ssize_t written = ::write(pipe[1], result.data(), result.size());
    ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  ::close(pipe[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<size_t>(got));
  ::close(pipe[0]);
  int status = -1;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return result;
}

TEST(AtomicFile, TheNewFileKeepsOwnerAndPermissionsButNoSpecialBit) {
  const bool root = ::geteuid() == 0;
  const struct {
    mode_t before, after;
  } cases[] = {{0604, 0604}, {04755, 0755}, {02775, 0775}, {01666, 0666}};
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder.Write("p.wlm", "old");
    if (root) {
      ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
    ASSERT_TRUE(Save(path, "new").ok()) << std::oct << c.before;
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_mode & 07777, c.after) << std::oct << c.before;
    EXPECT_EQ(after.st_uid, root ? kNobody : ::geteuid());
    EXPECT_EQ(after.st_gid, root ? kNobody : ::getegid());
    EXPECT_EQ(ReadFile(path), "new");
  }
}

TEST(AtomicFile, AFileTheUserCannotWriteIsNotReplaced) {
  const bool root = ::geteuid() == 0;
  const struct {
    mode_t mode;
    bool asOtherUser;  // a file of root's, saved by another user who may write its folder
    bool refused;
  } cases[] = {{0444, false, true}, {0400, false, true}, {0200, false, false},
               {0644, true, true},  {0666, true, false}};
  for (const auto& c : cases) {
    if (c.asOtherUser && !root) continue;
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0777);
    const std::string path = folder.Write("p.wlm", "old");
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    const std::string message = InChild([&] { return Save(path, "new").message(); }, c.asOtherUser ? kNobody : -1);
    EXPECT_EQ(message, c.refused ? "the file is read-only" : "") << std::oct << c.mode;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), c.refused ? "old" : "new") << std::oct << c.mode;
  }
}

TEST(AtomicFile, LinksAnotherUserCouldHavePlantedAreNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
  const struct {
    const char* name;
    uid_t linkOwner;
    uid_t folderOwner;  // of the sticky world-writable folder the link lies in
    bool chain;         // the link points to a link of root's, in a folder of root's
    bool followed;
  } cases[] = {
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
  const struct {
    const char* name;
    Kind kind;
    bool old;  // unchanged for long
    bool removed;
  } cases[] = {
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
