// wordloom-cli: argument checking, and the commands new, scan and info run as a program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli_run.h"
#include "test_support.h"

namespace wordloom::cli {
namespace {

using test::CrLfLines;
using test::ReadFile;
using test::TempFolder;

const char kPets[] = "the cat\r\nthe dog\r\n";

TEST(ParseArguments, ContextIsRoundedHalfToEvenAndClamped) {
  const std::pair<std::string, int> cases[] = {{"60", 60},   {"7", 10},   {"300", 240}, {"10.5", 10},
                                               {"11.5", 12}, {"+20", 20}, {"-4", 10},   {"239.6", 240},
                                               {"1e400", 240}, {"-1e400", 10}, {"1e-400", 10}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseArguments({"info", "--context", text, "a.txt"}).arguments.context, expected) << text;
  }
}

TEST(CliUsage, ProblemsWithTheCommandLineExitTwoBeforeReadingAnything) {
  const std::vector<std::vector<std::string>> cases = {
      {"frobnicate", "pets.txt"}, {"kwic", "pets.txt"}, {"line", "pets.txt", "--match", "whole", "--keys", "cat"},
      {"kwic", "pets.txt", "--keys", "cat", "--order", "up"}, {"info", "--keys", "cat", "pets.txt"},
      {"kwic", "--wordlist-order", "7", "--keywords", "pets.txt"}, {"line", "--keys", "a", "out.wlm", "--eol", "/"},
      {"wordlist", "pets.txt", "--order", "left"}, {"profile", "pets.txt", "--freq"}, {"info", "--kw", "add:word", "pets.txt"},
      {"wordlist", "--layout", "wide", "pets.txt"}, {"info", "--kw", "keep:gt:1", "pets.txt"}, {"info", "--spectrum", "pets.txt"},
      {"info", "--bogus", "pets.txt"}, {"info", "-x", "pets.txt", "--wide"}, {"info", "out.wlm", "--title", "T"},
      {"scan", "out.wlm", "--define", "C=x"}, {"info", "--refs", "type2", "pets.txt"},
      {"info", "--define", "1=x", "pets.txt"}, {"info", "--define", "C", "pets.txt"},
      {"info", "--context", "abc", "pets.txt"}, {"info", "--context", "", "pets.txt"}, {"info", "--context", "inf", "pets.txt"},
      {"info", "--context=12x", "pets.txt"}, {"info", "pets.txt", "--title"}, {"info", "--no-vocabulary", "pets.txt"},
      {"info", "out.wlm", "pets.txt"}, {"info", "pets.txt", "out.wlm"}, {"info", "a.wlm", "b.wlm"}, {"info"},
      {"scan", "pets.txt"}, {"scan", "out.wlm", "other.wlm"}, {"new", "pets.txt"}, {"new"},
      {"new", "out.wlm", "pets.txt", "other.WLM"}, {"new", "out.wlm", "--no-vocabulary=yes", "pets.txt"},
      {"new", "out.wlm", "--refs", "bad", "pets.txt"}, {"--title", "x"}, {},
  };
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  for (const auto& args : cases) {
    std::string shown;
    for (const std::string& arg : args) shown += arg + " ";
    CliRun run = RunCli(args, folder);
    EXPECT_EQ(run.exit, 2) << shown;
    EXPECT_EQ(run.err.rfind("wordloom-cli: ", 0), 0u) << shown << "\n" << run.err;
    EXPECT_NE(run.err.find("usage: wordloom-cli"), std::string::npos) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.wlm"))) << shown;
    EXPECT_FALSE(std::filesystem::exists(folder.File("scratch"))) << shown;
  }
}

TEST(CliInfo, TextFilePrintsFourLines) {
  TempFolder folder;
  folder.Write("pets.notes.txt", kPets);
  const std::string expected = "pets\n1 file, 2 lines, 4 words, 3 word vocabulary\n3 words:  cat, dog, the\nL\n";
  for (const char* context : {"60", "7", "300", "12.5"}) {
    CliRun run = RunCli({"info", "--context", context, "pets.notes.txt"}, folder);
    EXPECT_EQ(run.exit, 0) << context << "\n" << run.err;
    EXPECT_EQ(run.out, expected) << context;
    EXPECT_EQ(run.err, "") << context;
  }
}

TEST(CliFailures, ExitOneWithTheMessageLast) {
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  const std::string base = std::filesystem::canonical(folder.path()).string();
  const std::string foreign = "\"wlm20\"\r\n\"Old\"\r\n";
  const std::string notProject = base + "/old.wlm";
  test::WriteFile(notProject, foreign);
  struct Case {
    std::vector<std::string> args;
    std::string lastLine;
  };
  const Case cases[] = {
      {{"new", "out.wlm", "--title", "   ", "pets.txt"}, "Please Supply a Title"},
      {{"new", "out.wlm"}, "No files in the project"},
      {{"new", base + "/none/out.wlm", "pets.txt"},
       "Could not save the project to " + base + "/none/out.wlm: No such file or directory."},
      {{"info", notProject}, notProject + " is not a Wordloom project file."},
      {{"scan", notProject}, notProject + " is not a Wordloom project file."},
      {{"info", "missing.wlm"}, "Could not read the project " + base + "/missing.wlm: No such file or directory."},
  };
  for (const Case& c : cases) {
    CliRun run = RunCli(c.args, folder);
    EXPECT_EQ(run.exit, 1) << c.lastLine;
    EXPECT_EQ(run.err, c.lastLine + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.wlm")));
    EXPECT_EQ(ReadFile(notProject), foreign);
  }
}

TEST(CliScan, KeepsWhatTheFileHoldsBesidesTheScan) {
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  ASSERT_EQ(RunCli({"new", "p.wlm", "--refs", "type1", "--define", "C=Third", "--define", "b=Second", "pets.txt"},
                   folder).exit, 0);
  std::vector<std::string> lines = CrLfLines(ReadFile(folder.File("p.wlm")));
  ASSERT_EQ(lines.size(), 403u);
  EXPECT_EQ(lines[33 + 10], "\"Third\"");
  EXPECT_EQ(lines[33 + 7], "\"Second\"");
  // Edits the program makes elsewhere: scope None, a pattern, another font, a comment.
  lines[5] = "#FALSE#", lines[6] = "#TRUE#", lines[8] = "\"pre\"";
  lines[19] = "#TRUE#", lines[21] = "\"Arial\"", lines[22] = "10", lines[25] = "700";
  lines[33 + 11] = "\"third letter, \"\"C\"\"\"";
  std::string edited;
  for (const std::string& line : lines) edited += line + "\r\n";
  test::WriteFile(folder.File("p.wlm"), edited);

  CliRun run = RunCli({"scan", "p.wlm"}, folder);
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "");
  std::vector<std::string> after = CrLfLines(ReadFile(folder.File("p.wlm")));
  ASSERT_EQ(after.size(), lines.size());
  lines[lines.size() - 27 + 11] = "0";  // the rescan clears the letter flags, L included
  for (size_t i = 4; i < lines.size(); ++i) EXPECT_EQ(after[i], lines[i]) << "line " << i + 1;

  run = RunCli({"info", "p.wlm"}, folder);
  EXPECT_EQ(run.out, "p\n1 file, 2 lines, 4 words, 3 word vocabulary\n3 words:  cat, dog, the\nL\n");
}

}  // namespace
}  // namespace wordloom::cli
