// Concordances kept as data, against today's text outputs: on random texts under random rules,
// a search by wildcards that means what a match kind means ("con*" for the prefix "con") goes
// through the hit store and must write the text output byte for byte; and the table formats'
// rows, thinning and usage.
#include <gtest/gtest.h>

#include <random>

#include "cli_run.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

const char* const kPieces[] = {"cat", "Cat", "concord", "icon", "the", "a", " ", " ", "  ", ".", ",", "/", "&",
                               "-", "<A Act 1>", "<L 7>", "<B x", "\r\n", "\n", "\r", "\r\n\r\n", "   \r\n",
                               "inter-", "con-\r\ncord", "tab\t", "cats", "scat"};
const char* const kUtf8Pieces[] = {"kočka", "Kočka", "žena", "ŽENA", "e\xCC\x81t\xC3\xA9", "\xFF", "«»", "·",
                                   "¬", "¶"};

std::string RandomText(std::mt19937& random, bool utf8) {
  std::string text;
  const int pieces = std::uniform_int_distribution<int>(0, 120)(random);
  for (int i = 0; i < pieces; ++i) {
    const int pick = std::uniform_int_distribution<int>(0, 44)(random);
    if (pick < static_cast<int>(std::size(kPieces))) {
      text += kPieces[pick];
    } else if (utf8 && pick < static_cast<int>(std::size(kPieces) + std::size(kUtf8Pieces))) {
      text += kUtf8Pieces[pick - std::size(kPieces)];
    } else {
      text += " ";
    }
  }
  return text;
}

// The output without its key headings (the patterns differ from the keys they stand for).
std::string Finds(const std::string& output) {
  std::string finds;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find('\n', at);
    end = end == std::string::npos ? output.size() : end + 1;
    const std::string_view line(output.data() + at, end - at);
    if (line.find('\t') != std::string_view::npos) finds += line;
    at = end;
  }
  return finds;
}

struct Search {
  const char* match;
  const char* keys;
  const char* wildcards;  // the same search by wildcards
};

const Search kSearches[] = {{"word", "cat the", "cat the"},       {"prefix", "con ca", "con* ca*"},
                            {"suffix", "at", "*at"},              {"anywhere", "on a", "*on* *a*"},
                            {"word", "kočka žena", "kočka žena"}, {"prefix", "ž", "ž*"}};

TEST(TableFormats, TheHitStoreWritesTodaysTextOutputs) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    TempFolder folder;
    const bool utf8 = round % 3 == 2;
    folder.Write("one.txt", RandomText(random, utf8));
    folder.Write("two.txt", RandomText(random, utf8));
    std::vector<std::string> create = {"new", "p.wlm", "one.txt", "two.txt", "--encoding", utf8 ? "utf-8" : "windows-1252"};
    const char* const eol[] = {"/", "", "¶"};
    const char* const join[] = {"", "&", "¬"};
    create.insert(create.end(), {"--eol", eol[round % 3], "--join", join[(round / 3) % 3], "--hyphen",
                                 round % 2 ? "-" : "", "--refs", round % 4 < 2 ? "type1" : "none"});
    if (utf8 && round % 6 == 5) create.insert(create.end(), {"--words", "unicode"});
    ASSERT_EQ(RunCli(create, folder).exit, 0) << ReadFile(folder.File("stderr"));
    for (const Search& search : kSearches) {
      for (const char* command : {"kwic", "line"}) {
        const std::vector<std::string> common = {command, "p.wlm", "--cite", "AL", "--context",
                                                 round % 2 ? "40" : "61"};
        std::vector<std::string> text = common, table = common;
        text.insert(text.end(), {"--match", search.match, "--keys", search.keys});
        table.insert(table.end(), {"--search", "wildcard", "--keys", search.wildcards});
        const CliRun expected = RunCli(text, folder);
        const CliRun got = RunCli(table, folder);
        EXPECT_EQ(got.exit, expected.exit) << command << " " << search.keys;
        EXPECT_EQ(Finds(got.out), Finds(expected.out)) << command << " " << search.keys;
        EXPECT_EQ(got.err, expected.err) << command << " " << search.keys;
      }
    }
  }
}

TEST(TableFormats, RowsColumnsThinningAndUsage) {
  TempFolder folder;
  folder.Write("t.txt", "The cat sat.\r\nA \"cat\", a\tdog.\r\nThe cat\r\n");
  ASSERT_EQ(RunCli({"new", "p.wlm", "t.txt"}, folder).exit, 0);
  const std::string file = folder.File("t.txt");
  CliRun run = RunCli({"kwic", "p.wlm", "--keys", "cat", "--format", "tsv", "--context-words", "1"}, folder);
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out, "file\tline\tcitation\tleft\tkey\tright\toffset\n" + file + "\t1\t\tThe \tcat\t sat\t4\n" + file +
                         "\t2\t\tA \"\tcat\t\", a\t17\n" + file + "\t3\t\tThe \tcat\t/\t35\n");
  run = RunCli({"kwic", "p.wlm", "--keys", "cat", "--format", "csv", "--context-words", "1", "--every", "2"}, folder);
  EXPECT_EQ(run.out, "file,line,citation,left,key,right,offset\r\n" + file + ",1,,The ,cat, sat,4\r\n" + file +
                         ",3,,The ,cat,/,35\r\n");
  run = RunCli({"line", "p.wlm", "--keys", "dog", "--format", "jsonl"}, folder);
  EXPECT_EQ(run.out, "{\"file\":\"" + file +
                         "\",\"line\":2,\"citation\":\"\",\"left\":\"A \\\"cat\\\", a\\tdog.\",\"key\":\"\",\"right\":\"\","
                         "\"offset\":14}\n");
  // The same seed keeps the same sample, in the order of the text.
  const CliRun first = RunCli({"kwic", "p.wlm", "--keys", "cat a the", "--format", "tsv", "--sample", "2", "--seed", "7"}, folder);
  const CliRun again = RunCli({"kwic", "p.wlm", "--keys", "cat a the", "--format", "tsv", "--sample", "2", "--seed", "7"}, folder);
  EXPECT_EQ(first.out, again.out);
  EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 3);
  // Options that only tables have, and a bad pattern.
  EXPECT_EQ(RunCli({"kwic", "p.wlm", "--keys", "cat", "--sort", "R1"}, folder).exit, 2);
  EXPECT_EQ(RunCli({"kwic", "p.wlm", "--keys", "cat", "--format", "tsv", "--sort", "R6"}, folder).exit, 2);
  run = RunCli({"kwic", "p.wlm", "--keys", "(cat", "--search", "regex", "--format", "tsv"}, folder);
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("Not a valid regular expression"), std::string::npos);
}

}  // namespace
}  // namespace wordloom::cli
