// Bad input, end to end through wordloom-cli: every case gives a clear message or the
// documented behaviour, never a crash, and never damages a project file that was there.
#include <fcntl.h>
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
  bool needsRoot = false;         // gives files to another user: skipped unless run as root
  std::string workFolder = {};    // where the program runs, below the folder (the folder itself when empty)
};

std::string Nothing(const std::string&) { return ""; }

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

// A project file of the pets, made by the tool itself.
void NewPets(const TempFolder& folder) {
  folder.Write("pets.txt", kPets);
  ASSERT_EQ(RunCli({"new", "pets.wlm", "pets.txt"}, folder).exit, 0);
}

// A working folder whose path is longer than the system takes in one call.
std::string DeepFolder() {
  std::string path;
  for (int i = 0; i < 22; ++i) path += std::string(200, 'd') + "/";
  return path;
}

// Moves the folders of the deep `chain` below `folder` up into it a few at a time, so that no
// path in the folder is too long to remove.
void Unchain(const TempFolder& folder, const std::string& chain) {
  const int top = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::string at;  // the folder reached so far, below `folder`
  size_t count = 0;
  for (size_t start = 0, slash; (slash = chain.find('/', start)) != std::string::npos; start = slash + 1) {
    const std::string name = chain.substr(start, slash - start);
    if (++count % 8 == 0) {
      const int parent = OpenFolderBelow(folder.path(), at);
      const std::string moved = "cut" + std::to_string(count);
      EXPECT_EQ(::renameat(parent, name.c_str(), top, moved.c_str()), 0);
      ::close(parent);
      at = moved;
    } else {
      at += (at.empty() ? "" : "/") + name;
    }
  }
  ::close(top);
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
    {"a device named as a project",
     [](const TempFolder& folder, const std::string&) {
       std::filesystem::create_symlink("/dev/zero", folder.File("zero.wlm"));
       return std::vector<std::string>{"info", "zero.wlm"};
     },
     1, Nothing, [](const std::string& base) { return base + "/zero.wlm is not a regular file.\n"; }},
    {"a device and a FIFO named as text files",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       EXPECT_EQ(::mkfifo(folder.File("pipe.txt").c_str(), 0600), 0);
       return std::vector<std::string>{"info", "/dev/zero", "pipe.txt", "pets.txt"};
     },
     0, [](const std::string&) { return "3 files, 2 lines, 4 words, 3 word vocabulary\n"; },
     [](const std::string& base) {
       return CannotRead("/dev/zero", "Not a regular file") + CannotRead(base + "/pipe.txt", "Not a regular file");
     }},
    {"a read-only project rescanned",
     [](const TempFolder& folder, const std::string&) {
       NewPets(folder);
       ::chmod(folder.File("pets.wlm").c_str(), 0444);
       return std::vector<std::string>{"scan", "pets.wlm"};
     },
     1, Nothing,
     [](const std::string& base) { return "Could not save the project to " + base + "/pets.wlm: the file is read-only.\n"; }},
    {"a link planted by another user in a shared sticky folder",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       std::filesystem::create_directory(folder.File("private"));
       ::chmod(folder.File("private").c_str(), 0700);
       folder.Write("private/report.wlm", "root's own report");
       std::filesystem::create_directory(folder.File("shared"));
       ::chmod(folder.File("shared").c_str(), 01777);
       std::filesystem::create_symlink(folder.File("private/report.wlm"), folder.File("shared/report.wlm"));
       EXPECT_EQ(::lchown(folder.File("shared/report.wlm").c_str(), kNobody, kNobody), 0);
       return std::vector<std::string>{"new", "shared/report.wlm", "pets.txt"};
     },
     1, Nothing,
     [](const std::string& base) {
       return "Could not save the project to " + base + "/shared/report.wlm: it is a link owned by another user.\n";
     },
     false, true},
    {"a working folder deeper than a path can name",
     [](const TempFolder& folder, const std::string&) {
       const int deep = OpenFolderBelow(folder.path(), DeepFolder(), /*create=*/true);
       const int text = ::openat(deep, "t.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
       EXPECT_EQ(::write(text, kPets, sizeof kPets - 1), static_cast<ssize_t>(sizeof kPets - 1));
       ::close(text);
       ::close(deep);
       return std::vector<std::string>{"new", "zz.wlm", "t.txt"};
     },
     1, Nothing,
     [](const std::string&) { return "The working folder's path is too long.\n"; },
     false, false, DeepFolder()},
    {"scratch files another user made beforehand in a shared folder",
     [](const TempFolder& folder, const std::string&) {
       folder.Write("pets.txt", kPets);
       std::filesystem::create_directory(folder.File("shared"));
       ::chmod(folder.File("shared").c_str(), 01777);
       for (const char* name : {"~0", "~A", "~lock", "wordloom-run-AAAAAA"}) {
         const std::string path = folder.Write(std::string("shared/") + name + ".wlm", "planted");
         std::filesystem::rename(path, folder.File(std::string("shared/") + name));
         ::chmod(folder.File(std::string("shared/") + name).c_str(), 0666);
         EXPECT_EQ(::lchown(folder.File(std::string("shared/") + name).c_str(), kNobody, kNobody), 0);
       }
       return std::vector<std::string>{"kwic", "pets.txt", "--keys", "the", "--temp", "shared"};
     },
     0, [](const std::string&) { return "the\r\n"; }, [](const std::string&) { return " 1 key, 2 citations\n"; }, false,
     true},
};

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, GivesAClearMessageAndKeepsEveryProjectFile) {
  const BadInput& c = GetParam();
  if (c.needsRoot && ::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  // Permissions do not stop root: then the case runs as another user, in a folder of theirs.
  const int user = c.needsPermissions && ::geteuid() == 0 ? kNobody : -1;
  TempFolder folder;
  const std::string base = std::filesystem::canonical(folder.path()).string();
  const std::vector<std::string> args = c.setUp(folder, base);
  // Every project file in the folder before the run, byte for byte (a deep working folder is
  // not entered).
  std::vector<std::pair<std::string, std::string>> projects;
  for (auto entry = std::filesystem::recursive_directory_iterator(folder.path());
       entry != std::filesystem::recursive_directory_iterator(); ++entry) {
    if (entry.depth() > 8) entry.disable_recursion_pending();
    if (entry->path().extension() == ".wlm" && entry->is_regular_file()) {
      projects.emplace_back(entry->path().string(), ReadFile(entry->path().string()));
    }
  }
  if (user >= 0) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
      ASSERT_EQ(::lchown(entry.path().c_str(), user, user), 0);
    }
    ASSERT_EQ(::chown(folder.path().c_str(), user, user), 0);
  }
  const CliRun run = RunCli(args, folder, user, c.workFolder);
  if (!c.workFolder.empty()) Unchain(folder, c.workFolder);
  if (user >= 0 && run.exit == 127) GTEST_SKIP() << "another user cannot run " << WORDLOOM_CLI << " from here";
  EXPECT_EQ(run.exit, c.exit) << run.err;
  EXPECT_NE(run.out.find(c.out(base)), std::string::npos) << "stdout:\n" << run.out.substr(0, 2000);
  EXPECT_NE(run.err.find(c.err(base)), std::string::npos) << "stderr:\n" << run.err;
  if (c.exit == 1) {
    EXPECT_TRUE(run.err.ends_with(c.err(base))) << "the message is the last line:\n" << run.err;
  }
  for (const auto& [path, bytes] : projects) {
    if (args[0] != "scan" || c.exit != 0) {
      EXPECT_EQ(ReadFile(path), bytes) << path;
    }
  }
  for (const char* name : {"~0", "~A", "~lock", "wordloom-run-AAAAAA"}) {
    const std::string planted = folder.File(std::string("shared/") + name);
    if (std::filesystem::exists(planted)) {
      EXPECT_EQ(ReadFile(planted), "planted") << planted;
    }
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
