// The scratch folder: private run folders, replacing files, cleaning up after dead runs, links.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "base/scratch_folder.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info.st_mode;
}

// Writes `text` to the scratch file `name`.
void WriteScratch(const ScratchFolder& scratch, const std::string& name, const std::string& text) {
  FileWriter writer;
  ASSERT_TRUE(scratch.OpenForWrite(name, writer).ok());
  writer.Write(text);
  EXPECT_TRUE(writer.Close().ok());
}

TEST(ScratchFolder, EachRunHasAPrivateFolderRemovedAtItsEnd) {
  TempFolder folder;
  std::string first;
  {
    ScratchFolder scratch, other;
    ASSERT_TRUE(scratch.Prepare(folder.File("scratch//")).ok());
    ASSERT_TRUE(other.Prepare(folder.File("scratch")).ok());
    EXPECT_EQ(scratch.parent(), folder.File("scratch"));
    EXPECT_EQ(ModeOf(folder.File("scratch")) & 0777, 0700u);
    first = scratch.folder();
    EXPECT_EQ(first.rfind(folder.File("scratch/wordloom-run-"), 0), 0u) << first;
    EXPECT_NE(other.folder(), first);
    EXPECT_EQ(ModeOf(first) & 0777, 0700u);
    EXPECT_EQ(scratch.PathOf("A"), first + "/~A");
    WriteScratch(scratch, "A", "run");
    EXPECT_EQ(ReadFile(first + "/~A"), "run");
    EXPECT_FALSE(std::filesystem::exists(other.PathOf("A")));
  }
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("scratch")));
}

// A scratch file written again is a new file: whoever holds the old one open (the window that
// shows an output) still reads what it held.
TEST(ScratchFolder, WritingAgainLeavesTheOldFileToItsReaders) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.path()).ok());
  int held = -1;
  for (const char* text : {"first", "second", "third, a longer output"}) {
    if (held < 0 && ReadFile(scratch.PathOf("0")) == "second") held = ::open(scratch.PathOf("0").c_str(), O_RDONLY);
    WriteScratch(scratch, "0", text);
  }
  char buffer[64] = {};
  EXPECT_EQ(std::string(buffer, static_cast<size_t>(::pread(held, buffer, sizeof buffer, 0))), "second");
  ::close(held);
  EXPECT_EQ(ReadFile(scratch.PathOf("0")), "third, a longer output");
}

TEST(ScratchFolder, TheFilesOfARunThatDiedAreRemovedByTheNext) {
  TempFolder folder;
  ScratchFolder live;
  ASSERT_TRUE(live.Prepare(folder.path()).ok());
  // Runs killed long ago left their folders, one with a file of the user's own in it; a
  // folder just made may belong to a run about to lock it.
  const std::string dead = folder.File("wordloom-run-AbC123"), kept = folder.File("wordloom-run-KpT456"),
                    young = folder.File("wordloom-run-XyZ789");
  for (const std::string& path : {dead, kept, young, live.folder()}) {
    std::filesystem::create_directories(path);
    WriteFile(path + "/~0", "output");
  }
  WriteFile(kept + "/notes.txt", "mine");
  const timespec old[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  const timespec future[2] = {{0, UTIME_OMIT}, {time(nullptr) + 3600, 0}};
  for (const std::string& path : {dead, kept, live.folder()}) ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  ASSERT_EQ(::utimensat(AT_FDCWD, young.c_str(), future, 0), 0);
  ScratchFolder next;
  ASSERT_TRUE(next.Prepare(folder.path()).ok());
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_FALSE(std::filesystem::exists(kept + "/~0"));
  EXPECT_EQ(ReadFile(kept + "/notes.txt"), "mine");
  EXPECT_TRUE(std::filesystem::exists(young + "/~0"));
  EXPECT_TRUE(std::filesystem::exists(live.PathOf("0")));  // locked by a live run
}

TEST(ScratchFolder, PrepareRefusesWhatIsNoFolder) {
  TempFolder folder;
  folder.Write("file", "x");  // (a link given for the folder is one of the command-line tool's bad inputs)
  const std::pair<std::string, std::string> cases[] = {
      {folder.File("file"), "The scratch folder " + folder.File("file") + " is not a folder."},
      {folder.File("none/sub"),
       "Could not create the scratch folder " + folder.File("none/sub") + ": No such file or directory."},
      {"", "No scratch folder was given."},
  };
  for (const auto& [path, message] : cases) {
    ScratchFolder scratch;
    EXPECT_EQ(scratch.Prepare(path).message(), message) << path;
    EXPECT_EQ(scratch.folder(), "");
  }
}

// A link put in a scratch file's place is not read through, and writing replaces the link.
TEST(ScratchFolder, ScratchFilesAreNeverOpenedThroughALink) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  const std::string victim = folder.Write("victim.txt", "keep me");
  std::filesystem::create_symlink(victim, scratch.PathOf("A"));
  std::filesystem::create_symlink(folder.File("not-there"), scratch.PathOf("B"));
  for (const char* name : {"A", "B"}) {
    Status status;
    EXPECT_EQ(scratch.OpenForRead(name, status), -1) << name;
    EXPECT_EQ(status.message().rfind("Could not read the scratch file " + scratch.PathOf(name) + ": ", 0), 0u);
    WriteScratch(scratch, name, "run");
    EXPECT_TRUE(S_ISREG(ModeOf(scratch.PathOf(name)))) << name;
  }
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_FALSE(std::filesystem::exists(folder.File("not-there")));
}

}  // namespace
}  // namespace wordloom
