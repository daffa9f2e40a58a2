// The index beside a project: every command that reads it answers as the texts do, and an
// index gone stale with its texts is rebuilt without a word.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli_run.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

TEST(ProjectIndex, CommandsAnswerFromTheIndexAsFromTheTexts) {
  TempFolder folder;
  std::vector<std::string> texts;
  for (const char* name : {"harbour.txt", "lanterns.txt", "orchard.txt"}) {
    texts.push_back(folder.Write(name, ReadFile(std::string(WORDLOOM_SOURCE_DIR) + "/samples/" + name)));
  }
  auto withTexts = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 2, texts.begin(), texts.end());
    return args;
  };
  // p keeps an index; q cannot (its index's place is a folder), so it reads the texts.
  std::filesystem::create_directory(folder.File("q.wlx"));
  ASSERT_EQ(RunCli(withTexts({"new", "p.wlm", "--refs", "type1"}), folder).exit, 0);
  ASSERT_EQ(RunCli(withTexts({"new", "q.wlm", "--refs", "type1"}), folder).exit, 0);
  ASSERT_TRUE(std::filesystem::is_regular_file(folder.File("p.wlx")));

  const std::vector<std::vector<std::string>> commands = {
      {"wordlist", "--format", "tsv"},
      {"collocates", "--keys", "the", "--min", "1"},
      {"ngrams", "--n", "2..3", "--min", "1"},
      {"clusters", "--keys", "lantern*", "--search", "wildcard", "--n", "1..3"},
      {"dispersion", "--keys", "the", "--by", "s"},
      {"dispersion", "--keys", "the"},
      {"kwic", "--keys", "lantern harbour", "--cite", "SL"},
      {"kwic", "--keys", "lant", "--match", "prefix", "--order", "right"},
      {"kwic", "--keys", "lantern harbour", "--cite", "SL", "--format", "tsv", "--context-words", "20"},
      {"line", "--keys", "lantern harbour", "--cite", "SL"},
      {"line", "--keys", "lant*", "--search", "wildcard", "--format", "tsv"},
      {"kwic", "--keys", "the {0,2} lantern", "--search", "phrase", "--format", "tsv"}};
  auto expectSame = [&](const std::string& when) {
    for (const std::vector<std::string>& command : commands) {
      std::vector<std::string> onP = command, onQ = command;
      onP.insert(onP.begin() + 1, "p.wlm");
      onQ.insert(onQ.begin() + 1, "q.wlm");
      const CliRun fromIndex = RunCli(onP, folder);
      const CliRun fromTexts = RunCli(onQ, folder);
      EXPECT_EQ(fromIndex.exit, 0) << command[0] << " " << when << ": " << fromIndex.err;
      EXPECT_EQ(fromIndex.out, fromTexts.out) << command[0] << " " << when;
      EXPECT_EQ(fromIndex.err, fromTexts.err) << command[0] << " " << when;
    }
  };
  expectSame("as scanned");

  // A text edited after the scan: both read words the saved vocabulary lacks.
  folder.Write("orchard.txt", ReadFile(texts[2]) + "\nthe zebra and the quagga lantern\n");
  expectSame("after an edit");
  ASSERT_EQ(RunCli({"scan", "p.wlm"}, folder).exit, 0);
  ASSERT_EQ(RunCli({"scan", "q.wlm"}, folder).exit, 0);
  expectSame("scanned again");
}

}  // namespace
}  // namespace wordloom::cli
