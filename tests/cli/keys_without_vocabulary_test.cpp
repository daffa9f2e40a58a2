// A concordance of given keys on text files reads only their lines, without the vocabulary:
// its output and Error Report must be those of the run that scans the words (the key words
// made the keys), whatever the texts hold.
#include <gtest/gtest.h>

#include "cli_run.h"

namespace wordloom::cli {
namespace {

using test::TempFolder;

TEST(KeysWithoutVocabulary, TheOutputAndMessagesOfAFullScan) {
  TempFolder folder;
  folder.Write("a.txt", "<A Act 1>\r\nThe cat sat.\r\n<L 7>A \"cat\", a\tdog &\r\njoined cat-\r\nalogue\r\n");
  folder.Write("b.txt", std::string("caf\xC3\xA9 cat \xFF bad\ncat\n") + std::string(70000, 'x') + " cat\n");
  folder.Write("c.txt", "");
  const std::vector<std::vector<std::string>> rules = {
      {"--refs", "type1", "--join", "&", "--hyphen", "-"}, {"--encoding", "utf-8"}, {"--encoding", "windows-1252"}};
  for (const auto& options : rules) {
    for (const char* command : {"kwic", "line"}) {
      std::vector<std::string> keys = {command, "a.txt", "missing.txt", "b.txt", "c.txt", "--cite", "AL"};
      keys.insert(keys.end(), options.begin(), options.end());
      std::vector<std::string> keyWords = keys;
      keys.insert(keys.end(), {"--keys", "cat"});
      keyWords.insert(keyWords.end(), {"--keywords", "--kw", "clear", "--kw", "add:word:cat"});
      const CliRun lines = RunCli(keys, folder);
      const CliRun scanned = RunCli(keyWords, folder);
      EXPECT_EQ(lines.exit, scanned.exit) << command << " " << options[1];
      EXPECT_EQ(lines.out, scanned.out) << command << " " << options[1];
      // The counts line names the keys "key" or "word", as they were given.
      const auto report = [](const std::string& err) { return err.substr(0, err.rfind('\n', err.size() - 2)); };
      EXPECT_EQ(report(lines.err), report(scanned.err)) << command << " " << options[1];
      EXPECT_NE(lines.out.find("cat"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace wordloom::cli
