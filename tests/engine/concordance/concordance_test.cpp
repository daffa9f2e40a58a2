// Matching, the writers and whole runs.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/cp1252.h"
#include "base/file_writer.h"
#include "concordance/concordance_run.h"
#include "concordance/key_search.h"
#include "concordance/writers.h"
#include "project/project_actions.h"
#include "reference_passes.h"
#include "test_support.h"

namespace wordloom::test {
namespace {

WordCharTable DefaultWordChars() {
  const CharTables tables = BuildCharTables(ScanRules{});
  WordCharTable isWord{};
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = tables.CharClassTable[ToLower1252(static_cast<unsigned char>(c))] % 10 == 2;
  return isWord;
}

TEST(MatchKey, EachKindAcceptsItsOccurrences) {
  const WordCharTable isWord = DefaultWordChars();
  struct Case {
    MatchKind kind;
    const char* key;
    const char* text;
    bool match;
  };
  const Case cases[] = {
      {MatchKind::Word, "cat", "a cat.", true},          {MatchKind::Word, "cat", "cats only", false},
      {MatchKind::Word, "cat", "cats and a cat", true},  // a rejected occurrence lets the search go on
      {MatchKind::Suffix, "ing", "ingot", false},        {MatchKind::Word, "", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchKey(c.kind, c.key, c.text, isWord), c.match) << static_cast<int>(c.kind) << " " << c.key << " in " << c.text;
  }
}

// Writes records through a writer into a file and returns its bytes.
struct RecordList : CitationSource {
  std::vector<CitationRecord> records;
  size_t next = 0;
  bool Next(CitationRecord& record) override {
    if (next == records.size()) return false;
    record = records[next++];
    return true;
  }
};

template <typename Write>
std::string Written(Write write) {
  TempFolder folder;
  const std::string path = folder.File("out");
  FileWriter out;
  out.Attach(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
  write(out);
  EXPECT_TRUE(out.Close().ok());
  return ReadFile(path);
}

TEST(Writers, IndexPacksDistinctCitationsIntoEightyColumns) {
  RecordList list;
  // Keys of equal text share one header; the first citation of a key is always written.
  list.records = {{1, 1, "  4", "", ""}, {1, 1, "  4", "", ""}, {1, 2, " 12", "", ""}, {2, 3, "", "", ""},
                  {2, 4, "", "", ""},    {3, 5, "", "", ""}};
  int64_t written = 0;
  std::string text = Written([&](FileWriter& out) { written = WriteIndex(list, {"the", "cat", "cat"}, out); });
  EXPECT_EQ(text, "the\r\n  4, 12,\r\n\r\ncat\r\n,");
  EXPECT_EQ(written, 3);

  // Items of 10 columns: eight fill a line exactly, the ninth starts the next.
  list = RecordList{};
  for (int i = 1; i <= 9; ++i) list.records.push_back({1, i, " 1234567" + std::to_string(i), "", ""});
  text = Written([&](FileWriter& out) { WriteIndex(list, {"k"}, out); });
  const std::vector<std::string> lines = CrLfLines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].size(), 80u);
  EXPECT_EQ(lines[2], " 12345679,");
}

struct StopAfterFirstFile : ProgressSink {
  int64_t files = 0;
  void Progress(int64_t done, int64_t) override { files = done; }
  bool StopRequested() override { return files >= 1; }
};

TEST(RunConcordance, PassesOverUnreadableFilesAndStopsWhenAsked) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  Session session;
  Project project = NewProjectFromTextFile(session, folder.Write("a.txt", "the cat\r\n"), folder.path());
  project.AddFile(folder.File("missing.txt"));
  project.AddFile(folder.Write("b.txt", "a cat\r\n"));
  ASSERT_TRUE(AcceptNewProject(session, project, scratch).ok());
  session.scan.ErrorReportText.clear();

  ConcordanceQuery query;
  query.keys = "CAT";
  query.citationLetters = "l";
  ConcordanceResult result;
  ASSERT_TRUE(RunConcordance(session, query, scratch, result).ok());
  EXPECT_EQ(result.countsText, " 1 key, 2 citations");
  // The run's Error Report entries reach the session with the commit.
  const std::string unreadable =
      "FILE: " + folder.File("missing.txt") + "\r\nERROR: cannot read the file: No such file or directory\r\n\r\n";
  EXPECT_EQ(session.scan.ErrorReportText, "");
  CommitConcordance(session, result);
  EXPECT_EQ(session.scan.ErrorReportText, unreadable);
  // Every scratch file of the ordering is gone; the output stays.
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("A1")));
  EXPECT_EQ(ReadFile(result.outputPath).substr(0, 5), "cat\r\n");

  StopAfterFirstFile stop;
  ConcordanceOptions options;
  options.progress = &stop;
  ASSERT_TRUE(RunConcordance(session, query, scratch, result, options).ok());
  EXPECT_EQ(result.countsText, " 1 key, 1 citation");

  // An empty pattern does nothing; a pattern of spaces runs with no keys.
  query.keys = "";
  ASSERT_TRUE(RunConcordance(session, query, scratch, result).ok());
  EXPECT_FALSE(result.wrote);
  query.keys = "   ";
  ASSERT_TRUE(RunConcordance(session, query, scratch, result).ok());
  EXPECT_EQ(result.countsText, " 0 keys, 0 citations");
  EXPECT_EQ(ReadFile(result.outputPath), "");
}

}  // namespace
}  // namespace wordloom::test

namespace wordloom::test {
namespace {

TEST(KeySearcher, FindsWhatAPlainSearchFindsInEitherCase) {
  std::mt19937 random(3);
  const char* const keys[] = {"a", "ab", "aba", "\xE9t\xE9", "x-y", "\xFF", "abcdefghijklmnopqrstuvwxyz0123"};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, 200)(random);
    for (int i = 0; i < length; ++i) text += "aAbB\xE9\xC9tT-xy\xFF\x9F "[std::uniform_int_distribution<int>(0, 14)(random)];
    for (const char* key : keys) {
      std::vector<size_t> expected, found;
      const std::string lowered = Lower1252(text);
      for (size_t at = lowered.find(key); at != std::string::npos; at = lowered.find(key, at + 1)) expected.push_back(at);
      KeySearcher(key).FindAll(text, found);
      ASSERT_EQ(found, expected) << key << " in " << text;
    }
  }
}

}  // namespace
}  // namespace wordloom::test
