// Bad input, end to end through wordloom-cli: every case gives a clear message or the
// documented behaviour, never a crash, and never damages a project file that was there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
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
  // Prepares the folder (`base` is its canonical path) and returns the arguments.
  std::function<std::vector<std::string>(const TempFolder& folder, const std::string& base)> setUp;
  int exit;
  // What stdout and stderr must hold (as substrings), given the canonical folder.
  std::function<std::string(const std::string& base)> out;
  std::function<std::string(const std::string& base)> err;
  bool needsPermissions = false;  // run as another user when the tests run as root
};

std::string Nothing(const std::string&) { return ""; }

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

// A project file of the pets, made by the tool itself.
void NewPets(const TempFolder& folder) {
  folder.Write("pets.txt", kPets);
  ASSERT_EQ(RunCli({"new", "pets.wlm", "pets.txt"}, folder).exit, 0);
}

const BadInput kBadInputs[] = {
    {"a missing text file is reported and passed over",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       return std::vector<std::string>{"info", "missing.txt", "pets.txt"};
     },
     0, [](const std::string&) { return "2 files, 2 lines, 4 words, 3 word vocabulary\n"; },
     [](const std::string& base) { return CannotRead(base + "/missing.txt", "No such file or directory"); }},
    {"an unreadable text file",
     [](const TempFolder& folder, const std::string&) {
       ::chmod(folder.Write("locked.txt", kPets).c_str(), 0);
       return std::vector<std::string>{"info", "locked.txt"};
     },
     0, [](const std::string&) { return "1 file\n"; },
     [](const std::string& base) { return CannotRead(base + "/locked.txt", "Permission denied"); }, true},
    {"a folder named as a text file",
     [](const TempFolder& folder, const std::string&) {
       std::filesystem::create_directory(folder.File("chapter.txt"));
       return std::vector<std::string>{"info", "chapter.txt"};
     },
     0, [](const std::string&) { return "1 file\n"; },
     [](const std::string& base) { return CannotRead(base + "/chapter.txt", "Is a directory"); }},
    {"a binary file is read as bytes",
     [](const TempFolder& folder, const std::string&) {
       std::mt19937 random(7);
       std::string bytes(65536, '\0');
       for (char& c : bytes) c = static_cast<char>(random());
       folder.Write("image.txt", bytes);
       return std::vector<std::string>{"kwic", "image.txt", "--keys", "a b c", "--match", "anywhere"};
     },
     0, Nothing, [](const std::string&) { return " 3 keys, "; }},
    {"a line of one megabyte",
     [](const TempFolder& folder, const std::string&) {
       std::string line;
       for (int i = 0; i < 200000; ++i) line += "word ";
       folder.Write("long.txt", line);
       return std::vector<std::string>{"kwic", "long.txt", "--keys", "word", "--index", "--cite", "L"};
     },
     0, [](const std::string&) { return "word\r\n 1"; }, [](const std::string&) { return " 1 key, 1 reference\n"; }},
    {"an empty file",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("empty.txt", "");
       return std::vector<std::string>{"info", "empty.txt"};
     },
     0, [](const std::string&) { return "empty\n1 file\nNo vocabulary saved\nL\n"; }, Nothing},
    {"CR-only and mixed line ends",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("ends.txt", "one\rtwo\r\nthree\nfour\r\rfive");
       return std::vector<std::string>{"info", "ends.txt"};
     },
     0, [](const std::string&) { return "1 file, 6 lines, 5 words, 5 word vocabulary\n"; }, Nothing},
    {"a project file cut short",
     [](const TempFolder& folder, const std::string&) {
       NewPets(folder);
       const std::string file = ReadFile(folder.File("pets.wlm"));
       folder.Write("cut.wlm", file.substr(0, file.size() / 2));
       return std::vector<std::string>{"info", "cut.wlm"};
     },
     0, [](const std::string&) { return "pets\n1 file, 2 lines, 4 words\n"; },
     [](const std::string& base) { return "Unknown fault with " + base + "/cut.wlm\nUnknown fault with "; }},
    {"garbage in a numeric field of a project file",
     [](const TempFolder& folder, const std::string&) {
       NewPets(folder);
       std::string file = ReadFile(folder.File("pets.wlm"));
       file.replace(file.find("\r\n2\r\n"), 5, "\r\nxx\r\n");  // the numbered lines
       folder.Write("garbled.wlm", file);
       return std::vector<std::string>{"info", "garbled.wlm"};
     },
     0, [](const std::string&) { return "pets\n1 file, 2 lines, 4 words, 3 word vocabulary\n"; }, Nothing},
    {"a file that is not a project",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("notes.wlm", "Dear diary,\r\n");
       return std::vector<std::string>{"kwic", "notes.wlm", "--keys", "diary"};
     },
     1, Nothing, [](const std::string& base) { return base + "/notes.wlm is not a Wordloom project file.\n"; }},
    {"a project that lists itself as a text file",
     [](const TempFolder& folder, const std::string& base) {
       folder.Write("pets.txt", kPets);
       EXPECT_EQ(RunCli({"new", "self.wlm", "pets.txt"}, folder).exit, 0);
       std::string file = ReadFile(folder.File("self.wlm"));
       const std::string listed = "\r\n1\r\n\"" + base + "/pets.txt\"\r\n";
       file.replace(file.find(listed), listed.size(),
                    "\r\n2\r\n\"" + base + "/pets.txt\"\r\n\"" + base + "/self.wlm\"\r\n");
       folder.Write("self.wlm", file);
       EXPECT_EQ(RunCli({"scan", "self.wlm"}, folder).exit, 0);  // reads itself, then replaces itself
       return std::vector<std::string>{"info", "self.wlm"};
     },
     0, [](const std::string&) { return "self\n2 files, "; }, Nothing},
    {"a project folder that cannot be written",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       std::filesystem::create_directory(folder.File("shelf"));
       folder.Write("shelf/pets.wlm", "previous");
       ::chmod(folder.File("shelf").c_str(), 0555);
       return std::vector<std::string>{"new", "shelf/pets.wlm", "pets.txt"};
     },
     1, Nothing,
     [](const std::string& base) { return "Could not save the project to " + base + "/shelf/pets.wlm: Permission denied.\n"; },
     true},
    {"a project path inside a file",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       return std::vector<std::string>{"new", "pets.txt/pets.wlm", "pets.txt"};
     },
     1, Nothing,
     [](const std::string& base) { return "Could not save the project to " + base + "/pets.txt/pets.wlm: Not a directory.\n"; }},
    {"a scratch folder that is a symbolic link",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       std::filesystem::create_directory(folder.File("real"));
       std::filesystem::create_directory_symlink(folder.File("real"), folder.File("link"));
       return std::vector<std::string>{"info", "--temp", "link", "pets.txt"};
     },
     1, Nothing, [](const std::string&) { return "The scratch folder link is a symbolic link; give the folder itself.\n"; }},
    {"a scratch folder that is not writable",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       std::filesystem::create_directory(folder.File("shut"));
       ::chmod(folder.File("shut").c_str(), 0555);
       return std::vector<std::string>{"info", "--temp", "shut", "pets.txt"};
     },
     1, Nothing, [](const std::string&) { return "The scratch folder shut is not writable: Permission denied.\n"; }, true},
    {"a scratch folder that is a file",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       return std::vector<std::string>{"info", "--temp", "pets.txt", "pets.txt"};
     },
     1, Nothing, [](const std::string&) { return "The scratch folder pets.txt is not a folder.\n"; }},
    {"a scratch folder that cannot be created",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       return std::vector<std::string>{"info", "--temp", "no/such/folder", "pets.txt"};
     },
     1, Nothing,
     [](const std::string&) { return "Could not create the scratch folder no/such/folder: No such file or directory.\n"; }},
    {"a text file that vanishes between the scan and a concordance",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("gone.txt", "the bird\r\n");
       NewPets(folder);
       EXPECT_EQ(RunCli({"new", "both.wlm", "gone.txt", "pets.txt"}, folder).exit, 0);
       std::filesystem::remove(folder.File("gone.txt"));
       return std::vector<std::string>{"kwic", "both.wlm", "--keys", "the", "--cite", "L"};
     },
     0, [](const std::string&) { return "the\r\n"; },
     [](const std::string& base) { return CannotRead(base + "/gone.txt", "No such file or directory") + " 1 key, 2 citations\n"; }},
};

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, GivesAClearMessageAndKeepsEveryProjectFile) {
  const BadInput& c = GetParam();
  // Permissions do not stop root: then the case runs as another user, in a folder of theirs.
  const int user = c.needsPermissions && ::geteuid() == 0 ? kNobody : -1;
  TempFolder folder;
  const std::string base = std::filesystem::canonical(folder.path()).string();
  const std::vector<std::string> args = c.setUp(folder, base);
  // Every project file in the folder before the run, byte for byte.
  std::vector<std::pair<std::string, std::string>> projects;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
    if (entry.path().extension() == ".wlm" && entry.is_regular_file()) {
      projects.emplace_back(entry.path().string(), ReadFile(entry.path().string()));
    }
  }
  if (user >= 0) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
      ASSERT_EQ(::lchown(entry.path().c_str(), user, user), 0);
    }
    ASSERT_EQ(::chown(folder.path().c_str(), user, user), 0);
  }
  const CliRun run = RunCli(args, folder, user);
  if (user >= 0 && run.exit == 127) GTEST_SKIP() << "another user cannot run " << WORDLOOM_CLI << " from here";
  EXPECT_EQ(run.exit, c.exit) << run.err;
  EXPECT_NE(run.out.find(c.out(base)), std::string::npos) << "stdout:\n" << run.out.substr(0, 2000);
  EXPECT_NE(run.err.find(c.err(base)), std::string::npos) << "stderr:\n" << run.err;
  if (c.exit == 1) EXPECT_TRUE(run.err.ends_with(c.err(base))) << "the message is the last line:\n" << run.err;
  for (const auto& [path, bytes] : projects) {
    if (args[0] != "scan") EXPECT_EQ(ReadFile(path), bytes) << path;
  }
  ::chmod(folder.File("shelf").c_str(), 0755);
  ::chmod(folder.File("shut").c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, testing::ValuesIn(kBadInputs), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
});

}  // namespace
}  // namespace wordloom::cli
