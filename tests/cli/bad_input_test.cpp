// Bad input, end to end through wordloom-cli: every case gives a clear message or the
// documented behaviour, never a crash, and never damages or leaves a project file.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "cli_run.h"
#include "test_support.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

const char kPets[] = "the cat\r\nthe dog\r\n";

std::string CannotRead(const std::string& path, const std::string& reason) {
  return "FILE: " + path + "\r\nERROR: cannot read the file: " + reason + "\r\n\r\n";
}

struct BadInput {
  const char* name;
  std::vector<std::string> args;  // run in a folder holding pets.txt
  int exit;
  // What stdout and stderr must hold, "{base}" standing for the folder's canonical path; on
  // exit 1, `err` ends stderr and stdout is empty.
  std::string out, err;
  std::function<void(const TempFolder& folder, const std::string& base)> setUp = {};
  bool asOtherUser = false;  // permissions do not stop root: then it runs as another user
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

// A project file of the pets, made by the tool itself.
void NewPets(const TempFolder& folder) { ASSERT_EQ(RunCli({"new", "pets.wlm", "pets.txt"}, folder).exit, 0); }

const BadInput kBadInputs[] = {
    {"a blank title", {"new", "out.wlm", "--title", "   ", "pets.txt"}, 1, "", "Please Supply a Title\n"},
    {"a file that is not a project, rescanned", {"scan", "old.wlm"}, 1, "", "{base}/old.wlm is not a Wordloom project file.\n",
     [](const TempFolder& folder, const std::string&) { folder.Write("old.wlm", "\"wlm20\"\r\n\"Old\"\r\n"); }},
    {"a read-only project rescanned", {"scan", "pets.wlm"}, 1, "",
     "Could not save the project to {base}/pets.wlm: the file is read-only.\n",
     [](const TempFolder& folder, const std::string&) {
       NewPets(folder);
       ::chmod(folder.File("pets.wlm").c_str(), 0444);
     }},
    {"a scratch folder that is not writable", {"info", "--temp", "shut", "pets.txt"}, 1, "",
     "The scratch folder shut is not writable: Permission denied.\n",
     [](const TempFolder& folder, const std::string&) {
       std::filesystem::create_directory(folder.File("shut"));
       ::chmod(folder.File("shut").c_str(), 0555);
     },
     true},
    {"a binary file is read as bytes", {"kwic", "image.txt", "--keys", "a b c", "--match", "anywhere"}, 0, "", " 3 keys, ",
     [](const TempFolder& folder, const std::string&) {
       std::mt19937 random(7);
       std::string bytes(65536, '\0');
       for (char& c : bytes) c = static_cast<char>(random());
       folder.Write("image.txt", bytes);
     }},
    {"a line of one megabyte", {"kwic", "long.txt", "--keys", "word", "--index", "--cite", "L"}, 0, "word\r\n 1",
     " 1 key, 1 reference\n",
     [](const TempFolder& folder, const std::string&) {
       std::string line;
       for (int i = 0; i < 200000; ++i) line += "word ";
       folder.Write("long.txt", line);
     }},
    {"a project that lists itself as a text file", {"info", "self.wlm"}, 0, "self\n2 files, ", "",
     [](const TempFolder& folder, const std::string& base) {
       EXPECT_EQ(RunCli({"new", "self.wlm", "pets.txt"}, folder).exit, 0);
       std::string file = ReadFile(folder.File("self.wlm"));
       const std::string listed = "\r\n1\r\n\"" + base + "/pets.txt\"\r\n";
       file.replace(file.find(listed), listed.size(), "\r\n2\r\n\"" + base + "/pets.txt\"\r\n\"" + base + "/self.wlm\"\r\n");
       folder.Write("self.wlm", file);
       EXPECT_EQ(RunCli({"scan", "self.wlm"}, folder).exit, 0);  // reads itself, then replaces itself
     }},
    {"a text file that vanishes between the scan and a concordance", {"kwic", "both.wlm", "--keys", "the", "--cite", "L"},
     0, "the\r\n", CannotRead("{base}/gone.txt", "No such file or directory") + " 1 key, 2 citations\n",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("gone.txt", "the bird\r\n");
       EXPECT_EQ(RunCli({"new", "both.wlm", "gone.txt", "pets.txt"}, folder).exit, 0);
       std::filesystem::remove(folder.File("gone.txt"));
     }},
    {"a device named as a project", {"info", "zero.wlm"}, 1, "", "{base}/zero.wlm is not a regular file.\n",
     [](const TempFolder& folder, const std::string&) { std::filesystem::create_symlink("/dev/zero", folder.File("zero.wlm")); }},
    {"a device and a FIFO named as text files", {"info", "/dev/zero", "pipe.txt", "pets.txt"}, 0,
     "3 files, 2 lines, 4 words, 3 word vocabulary\n",
     CannotRead("/dev/zero", "Not a regular file") + CannotRead("{base}/pipe.txt", "Not a regular file"),
     [](const TempFolder& folder, const std::string&) { EXPECT_EQ(::mkfifo(folder.File("pipe.txt").c_str(), 0600), 0); }},
};

std::string Expand(std::string text, const std::string& base) {
  for (size_t at; (at = text.find("{base}")) != std::string::npos;) text.replace(at, 6, base);
  return text;
}

// Every project file in the folder, byte for byte.
std::map<std::string, std::string> Projects(const TempFolder& folder) {
  std::map<std::string, std::string> projects;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
    if (entry.path().extension() == ".wlm" && entry.is_regular_file()) projects[entry.path()] = ReadFile(entry.path());
  }
  return projects;
}

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, GivesAClearMessageAndKeepsEveryProjectFile) {
  const BadInput& c = GetParam();
  const int user = c.asOtherUser && ::geteuid() == 0 ? kNobody : -1;
  TempFolder folder;
  const std::string base = std::filesystem::canonical(folder.path()).string();
  folder.Write("pets.txt", kPets);
  if (c.setUp) c.setUp(folder, base);
  const std::map<std::string, std::string> projects = Projects(folder);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
    ASSERT_TRUE(user < 0 || ::lchown(entry.path().c_str(), user, user) == 0);
  }
  ASSERT_TRUE(user < 0 || ::chown(folder.path().c_str(), user, user) == 0);
  const auto becomeUser = [user] {
    if (user >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(127);
  };
  const CliRun run = RunCli(c.args, folder, becomeUser);
  if (user >= 0 && run.exit == 127) GTEST_SKIP() << "another user cannot run " << WORDLOOM_CLI << " from here";
  const std::string out = Expand(c.out, base), err = Expand(c.err, base);
  EXPECT_EQ(run.exit, c.exit) << run.err;
  EXPECT_NE(run.out.find(out), std::string::npos) << "stdout:\n" << run.out.substr(0, 2000);
  EXPECT_NE(run.err.find(err), std::string::npos) << "stderr:\n" << run.err;
  if (c.exit == 1) {
    EXPECT_TRUE(run.err.ends_with(err)) << "the message is the last line:\n" << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(Projects(folder), projects);
  ::chmod(folder.File("shut").c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, testing::ValuesIn(kBadInputs), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
});

}  // namespace
}  // namespace wordloom::cli
