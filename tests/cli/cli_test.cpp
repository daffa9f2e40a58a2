// wordloom-cli's command line: the option table against the help and the parser, usage errors,
// help requests, and a rescan that keeps what it does not scan.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/option_table.h"
#include "cli_run.h"
#include "test_support.h"

namespace wordloom::cli {
namespace {

using test::CrLfLines;
using test::ReadFile;
using test::TempFolder;

const char kPets[] = "the cat\r\nthe dog\r\n";

// True when the help lists `left` ("--order 1..6") as an entry of its own.
bool Shows(const std::string& help, const std::string& left) {
  for (size_t at = help.find("\n  " + left); at != std::string::npos; at = help.find("\n  " + left, at + 1)) {
    const char next = help[at + 3 + left.size()];
    if (next == ' ' || next == '\n') return true;
  }
  return false;
}

TEST(OptionTable, EachOptionIsShownAndTakenWhereItsRowSays) {
  for (const OptionSpec& option : Options()) {
    const std::string& value = option.value.placeholder;
    const std::string left = "--" + option.name + (value.empty() ? "" : " " + value);
    EXPECT_TRUE(Shows(HelpText(), left)) << left;
    for (std::string_view name : option.commands) EXPECT_NE(FindCommand(name), nullptr) << left;
    for (const CommandSpec& command : Commands()) {
      const std::string name(command.name);
      int taking = 0;  // the rows of this option's name that the command takes
      for (const OptionSpec& row : Options()) taking += row.name == option.name && Takes(row, name);
      EXPECT_LE(taking, 1) << name << " " << left;
      // scan takes only a project, which refuses the rule options: its help leaves them out.
      const bool takes = Takes(option, name), shown = takes && (option.group != OptionGroup::Rule || command.textFiles);
      EXPECT_EQ(Shows(HelpText(name), left), shown) << name << " " << left;
      std::vector<std::string> args = {name, "--" + option.name, "a.txt"};
      if (!value.empty()) args.insert(args.begin() + 2, "x");
      const std::string error = ParseArguments(args).error;
      if (taking == 0) {
        EXPECT_EQ(error, "--" + option.name + " is not an option of " + name);
      } else {
        EXPECT_EQ(error.find(" option"), std::string::npos) << error;
      }
    }
  }
}

TEST(ParseArguments, ContextIsRoundedHalfToEvenAndClamped) {
  const std::pair<std::string, int> cases[] = {{"60", 60},    {"7", 10},      {"300", 240},    {"10.5", 10},
                                               {"11.5", 12},  {"+20", 20},    {"-4", 10},      {"239.6", 240},
                                               {"1e400", 240}, {"-1e400", 10}, {"1e-400", 10}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseArguments({"info", "--context", text, "a.txt"}).arguments.context, expected) << text;
  }
}

TEST(CliUsage, ProblemsWithTheCommandLineExitTwoBeforeReadingAnything) {
  const std::string kw = "--kw takes clear, or add: or remove: followed by prefix:, suffix:, anywhere:, gt:, lt:, eq: "
                         "or word: and a value, not ";
  const std::string rules = "the rule options apply to text files, not to a project file";
  const std::string define = "--define takes a letter, \"=\" and a value (for example C=Third), not ";
  const std::string mixed = "give one project file, or text files, not both";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"frobnicate", "pets.txt"}, "unknown command \"frobnicate\""}, {{"kwic", "pets.txt"}, "kwic needs --keys or --keywords"},
      {{"line", "pets.txt", "--match", "whole", "--keys", "cat"}, "--match takes word, prefix, suffix or anywhere, not \"whole\""},
      {{"kwic", "pets.txt", "--keys", "cat", "--order", "up"}, "--order takes occurs, left or right, not \"up\""},
      {{"info", "--keys", "cat", "pets.txt"}, "--keys is not an option of info"},
      {{"kwic", "--wordlist-order", "7", "--keywords", "pets.txt"}, "--wordlist-order takes a number from 1 to 6, not \"7\""},
      {{"wordlist", "pets.txt", "--order", "left"}, "--order takes a number from 1 to 6, not \"left\""},
      {{"profile", "pets.txt", "--freq"}, "--freq is not an option of profile"},
      {{"wordlist", "--layout", "wide", "pets.txt"}, "--layout takes left, right, packed or column, not \"wide\""},
      {{"info", "--kw", "add:word", "pets.txt"}, kw + "\"add:word\""}, {{"info", "--kw", "keep:gt:1", "pets.txt"}, kw + "\"keep:gt:1\""},
      {{"info", "--bogus", "pets.txt"}, "unknown option --bogus"}, {{"info", "-x", "pets.txt", "--wide"}, "unknown option --wide"},
      {{"line", "--keys", "a", "out.wlm", "--eol", "/"}, rules}, {{"scan", "out.wlm", "--define", "C=x"}, rules},
      {{"info", "--refs", "type2", "pets.txt"}, "--refs takes none or type1, not \"type2\""},
      {{"info", "--encoding", "latin1", "pets.txt"}, "--encoding takes auto, windows-1252 or utf-8, not \"latin1\""},
      {{"info", "--encoding=UTF-8", "pets.txt"}, "--encoding takes auto, windows-1252 or utf-8, not \"UTF-8\""},
      {{"new", "out.wlm", "--need-letter", "true", "pets.txt"}, "--need-letter takes yes or no, not \"true\""},
      {{"info", "--unicode-letters=", "pets.txt"}, "--unicode-letters takes yes or no, not \"\""},
      {{"wordlist", "--words", "icu", "pets.txt"}, "--words takes alphabet or unicode, not \"icu\""},
      {{"scan", "out.wlm", "--encoding", "utf-8"}, rules}, {{"info", "out.wlm", "--language", "de"}, rules},
      {{"info", "--define", "1=x", "pets.txt"}, define + "\"1=x\""}, {{"info", "--define", "C", "pets.txt"}, define + "\"C\""},
      {{"info", "--context", "inf", "pets.txt"}, "--context takes a number, not \"inf\""},
      {{"info", "--context=12x", "pets.txt"}, "--context takes a number, not \"12x\""},
      {{"info", "--context", "", "pets.txt"}, "--context takes a number, not \"\""},
      {{"info", "pets.txt", "--title"}, "--title needs a value"},
      {{"new", "out.wlm", "--no-vocabulary=yes", "pets.txt"}, "--no-vocabulary takes no value"},
      {{"info", "--help=kwic", "pets.txt"}, "--help takes no value"},
      {{"info", "out.wlm", "pets.txt"}, mixed}, {{"info", "pets.txt", "out.wlm"}, mixed}, {{"info", "a.wlm", "b.wlm"}, mixed},
      {{"info"}, "info needs a project file or text files"}, {{"scan", "pets.txt"}, "scan takes exactly one project file"},
      {{"scan", "out.wlm", "other.wlm"}, "scan takes exactly one project file"},
      {{"new", "pets.txt"}, "new needs a project file ending in .wlm, then the text files"},
      {{"new", "out.wlm", "pets.txt", "other.WLM"}, "new takes text files, not another project: other.WLM"},
      {{"--title", "x"}, "unknown command \"--title\""}, {{}, "no command given"},
  };
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  for (const auto& [args, message] : cases) {
    const std::string command = args.empty() ? "" : args[0];
    EXPECT_EQ(ParseArguments(args).error, message);
    const CliRun run = RunCli(args, folder);
    EXPECT_EQ(run.exit, 2) << message;
    EXPECT_EQ(run.err, "wordloom-cli: " + message + "\n\n" + HelpText(command));
    EXPECT_EQ(run.out, "") << message;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.wlm"))) << message;
    EXPECT_FALSE(std::filesystem::exists(folder.File("scratch"))) << message;
  }
}

TEST(CliHelp, HelpAnywhereOnTheLineIsPrintedInsteadOfARun) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {  // the arguments, the help's command
      {{"--help"}, ""}, {{"help", "frobnicate"}, ""}, {{"frobnicate", "--help"}, ""}, {{"-h", "kwic"}, "kwic"},
      {{"help", "wordlist"}, "wordlist"}, {{"kwic", "pets.txt", "--keys", "x", "--help"}, "kwic"},
      {{"new", "out.wlm", "pets.txt", "--help"}, "new"}, {{"line", "--match", "whole", "--help", "pets.txt"}, "line"},
  };
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  for (auto [args, command] : cases) {
    args.push_back("--temp=" + folder.File("scratch"));
    const CliRun run = RunCli(args, folder);
    EXPECT_EQ(run.exit, 0) << args[0];
    EXPECT_EQ(run.out, HelpText(command)) << args[0];
    EXPECT_EQ(run.err, "") << args[0];
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.wlm")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("scratch")));
  }
  // As an option's value, or after "--", it is no request for help.
  EXPECT_EQ(RunCli({"kwic", "pets.txt", "--keys", "--help"}, folder).err, " 1 key, 0 citations\n");
  EXPECT_EQ(RunCli({"info", "--", "--help"}, folder).out.substr(0, 14), "--help\n1 file\n");
}

// The project file's records up to its title, and its alphabet, after `new` with the encoding options.
TEST(CliNew, TheEncodingDecidesTheProjectFilesLayout) {
  const std::string wlm30 = "\"wlm30\" \"p\"", ascii = "\"abcdefghijklmnopqrstuvwxyz'-0123456789\"";
  const std::string utf8 = "\"abcdefghijklmnopqrstuvwxyz'\u2019-0123456789\"";
  const std::string utf8Defaults = "\"wlm32\" \"utf-8\" \"\" \"alphabet\" #TRUE# #TRUE# \"\" \"\" \"p\"";
  const struct {
    std::vector<std::string> options;
    std::string text, head, alphabet;
  } cases[] = {
      {{}, "pets.txt", wlm30, ascii},
      {{"--encoding", "auto"}, "latin.txt", wlm30, ascii},
      {{}, "utf8.txt", utf8Defaults, utf8},
      {{"--no-vocabulary"}, "utf8.txt", utf8Defaults, utf8},
      {{"--encoding", "windows-1252"}, "utf8.txt", wlm30, ascii},
      {{"--encoding", "utf-8"}, "pets.txt", utf8Defaults, utf8},
      {{"--encoding", "utf-8", "--alphabet", "ab"}, "pets.txt", utf8Defaults, "\"ab\""},
      {{"--need-letter", "yes"}, "pets.txt", "\"wlm32\" \"windows-1252\" \"\" \"alphabet\" #TRUE# #TRUE# \"\" \"\" \"p\"", ascii},
      {{"--need-letter", "no", "--unicode-letters", "yes", "--words", "alphabet"}, "pets.txt", wlm30, ascii},
      {{"--language", "sv", "--words", "unicode", "--unicode-letters", "no", "--need-letter", "no"}, "utf8.txt",
       "\"wlm32\" \"utf-8\" \"sv\" \"unicode\" #FALSE# #FALSE# \"\" \"\" \"p\"", utf8},
  };
  TempFolder folder;
  folder.Write("pets.txt", kPets);
  folder.Write("latin.txt", "caf\xe9 au lait\r\n");
  folder.Write("utf8.txt", "caf\xc3\xa9 au lait\r\n");
  for (const auto& c : cases) {
    std::vector<std::string> args = {"new", "p.wlm"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(c.text);
    const std::string trace = testing::PrintToString(args);
    const CliRun run = RunCli(args, folder);
    ASSERT_EQ(run.exit, 0) << trace << run.err;
    const std::vector<std::string> lines = CrLfLines(ReadFile(folder.File("p.wlm")));
    std::string head = lines.at(0);
    for (size_t i = 1; lines.at(i - 1) != "\"p\""; ++i) head += " " + lines.at(i);
    EXPECT_EQ(head, c.head) << trace;
    EXPECT_EQ(lines.at(lines[0] == "\"wlm30\"" ? 26 : 33), c.alphabet) << trace;
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
