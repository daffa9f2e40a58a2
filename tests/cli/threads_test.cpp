// --threads: a scan on two threads writes what the scan on one writes, a project's or a reference's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"

namespace wordloom::cli {
namespace {

using test::CrLfLines;
using test::ReadFile;
using test::TempFolder;

// Texts of a few megabytes, more than one piece of the scan, with tags, bad tags, joins and end
// hyphens throughout.
std::string LargeText(int seed) {
  const char* words[] = {"the", "Cat", "sat", "on", "mat", "don't", "e-mail", "over", "caf\xE9", "rug"};
  std::string text;
  for (int line = 0; text.size() < (5u << 20); ++line) {
    if (line % 997 == 0) text += "<L " + std::to_string(line) + "> ";
    if (line % 1499 == 0) text += "<A Act " + std::to_string(line / 1499) + "> <B\r\n";
    for (int w = 0; w < 9; ++w) text += std::string(words[(line * 7 + w * 3 + seed) % 10]) + (w % 4 == 3 ? ", " : " ");
    text += line % 13 == 0 ? "join&\r\n" : line % 11 == 0 ? "hyph-\r\n" : line % 17 == 0 ? "\r\n\r\n" : "end.\r\n";
  }
  return text;
}

TEST(CliThreads, TwoThreadsWriteWhatOneWrites) {
  TempFolder folder;
  folder.Write("a.txt", LargeText(0));
  folder.Write("b.txt", LargeText(1));
  const std::vector<std::string> rules = {"--refs", "type1", "--join", "&", "--hyphen", "-"};
  std::vector<std::string> outputs;
  for (const char* threads : {"1", "2"}) {
    std::vector<std::string> list = {"wordlist", "a.txt", "missing.txt", "b.txt", "--format", "tsv",
                                     "--threads", threads};
    list.insert(list.end(), rules.begin(), rules.end());
    const CliRun listed = RunCli(list, folder);
    EXPECT_EQ(listed.exit, 0) << listed.err;
    std::vector<std::string> made = {"new", std::string("p") + threads + ".wlm", "a.txt", "b.txt", "--title", "t",
                                     "--threads", threads};
    made.insert(made.end(), rules.begin(), rules.end());
    const CliRun created = RunCli(made, folder);
    EXPECT_EQ(created.exit, 0) << created.err;
    // The project file but for the date and time it was made, its third and fourth lines.
    std::vector<std::string> project = CrLfLines(ReadFile(folder.File(std::string("p") + threads + ".wlm")));
    ASSERT_GT(project.size(), 4u);
    project.erase(project.begin() + 2, project.begin() + 4);
    // The reference texts of keyness are scanned as a project's are.
    const CliRun keyness = RunCli({"keyness", "p1.wlm", "--reference", "a.txt", "b.txt", "--threads", threads}, folder);
    EXPECT_EQ(keyness.exit, 0) << keyness.err;
    std::string output = listed.out + listed.err + created.err + keyness.out + keyness.err;
    for (const std::string& line : project) output += line + "\n";
    outputs.push_back(output);
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_NE(outputs[0].find("cat\t"), std::string::npos);
}

}  // namespace
}  // namespace wordloom::cli
