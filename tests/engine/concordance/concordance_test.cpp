// Matching (one key, the key searcher, the key table), the writers and whole runs.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/cp1252.h"
#include "base/file_writer.h"
#include "concordance/concordance_run.h"
#include "concordance/key_search.h"
#include "concordance/key_table.h"
#include "concordance/writers.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"
#include "reference_passes.h"

namespace wordloom::test {
namespace {

TEST(MatchKey, EachKindAcceptsItsOccurrences) {
  WordCharTable isWord{};
  for (char c = 'a'; c <= 'z'; ++c) isWord[static_cast<unsigned char>(c)] = true;
  const struct { MatchKind kind; const char* key; const char* text; bool match; } cases[] = {
      {MatchKind::Word, "cat", "a cat.", true},          {MatchKind::Word, "cat", "cats only", false},
      {MatchKind::Word, "cat", "cats and a cat", true},  // a rejected occurrence lets the search go on
      {MatchKind::Suffix, "ing", "ingot", false},        {MatchKind::Word, "", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchKey(c.kind, c.key, c.text, isWord), c.match) << static_cast<int>(c.kind) << " " << c.key << " in " << c.text;
  }
}

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

// Few letters, so that keys repeat, hold each other and occur many times; a space and a
// hyphen; a byte above 127 that the table may or may not count as a word character.
constexpr char kLetters[] = "abca-\xE9 ";

std::string RandomString(std::mt19937& random, int longest) {
  std::string text(static_cast<size_t>(std::uniform_int_distribution<int>(0, longest)(random)), ' ');
  for (char& c : text) c = kLetters[std::uniform_int_distribution<size_t>(0, sizeof kLetters - 2)(random)];
  return text;
}

// The key table against trying MatchKey on each key in turn.
TEST(KeyTable, FindsWhatMatchKeyFindsForEveryKey) {
  std::mt19937 random(1206);
  std::vector<size_t> found;
  for (int round = 0; round < 3000; ++round) {
    const MatchKind kind = static_cast<MatchKind>(std::uniform_int_distribution<int>(1, 4)(random));
    WordCharTable isWord{};
    for (const char c : {'a', 'b', 'c'}) isWord[static_cast<unsigned char>(c)] = true;
    isWord[0xE9] = round % 2 == 0;
    isWord['-'] = round % 3 == 0;
    std::vector<std::string> keys;
    const int count = std::uniform_int_distribution<int>(1, round % 5 == 0 ? 3 : 60)(random);
    for (int i = 0; i < count; ++i) {
      // Now and then a key listed before, again.
      keys.push_back(!keys.empty() && i % 7 == 3 ? keys[static_cast<size_t>(i / 2)] : RandomString(random, 4));
    }
    KeyTable table(kind, keys);
    for (int t = 0; t < 20; ++t) {
      // A word as the keyword pass hands it over, or a line of words and spaces.
      std::string text = RandomString(random, t % 2 == 0 ? 8 : 40);
      if (t % 2 == 0) {
        for (char& c : text) c = isWord[static_cast<unsigned char>(c)] ? c : 'a';
      }
      std::vector<size_t> expected;
      for (size_t n = 0; n < keys.size(); ++n) {
        if (MatchKey(kind, keys[n], text, isWord)) expected.push_back(n);
      }
      table.Match(text, isWord, found);
      std::string context = "kind " + std::to_string(static_cast<int>(kind)) + " text [" + text + "] keys";
      for (const std::string& key : keys) context += " [" + key + "]";
      ASSERT_EQ(found, expected) << context;
    }
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
  std::string eighty;
  for (int i = 1; i <= 9; ++i) list.records.push_back({1, i, " 1234567" + std::to_string(i), "", ""});
  for (int i = 1; i <= 8; ++i) eighty += " 1234567" + std::to_string(i) + ",";
  EXPECT_EQ(Written([&](FileWriter& out) { WriteIndex(list, {"k"}, out); }), "k\r\n" + eighty + "\r\n 12345679,");
}

struct StopAfterFirstFile : ProgressSink {
  int64_t files = 0;
  void Progress(int64_t done, int64_t) override { files = done; }
  bool StopRequested() override { return files >= 1; }
};

TEST(RunConcordance, PassesOverUnreadableFilesAndStopsWhenAsked) {
  TempScratch temp;
  Session session;
  Project project = NewProjectFromTextFile(session, temp.folder.Write("a.txt", "the cat\r\n"), temp.folder.path());
  project.AddFile(temp.folder.File("missing.txt"));
  project.AddFile(temp.folder.Write("b.txt", "a cat\r\n"));
  ASSERT_TRUE(AcceptNewProject(session, project, temp.scratch).ok());
  session.scan.ErrorReportText.clear();

  ConcordanceQuery query;
  query.keys = "CAT";
  query.citationLetters = "l";
  ConcordanceResult result;
  ASSERT_TRUE(RunConcordance(session, query, temp.scratch, result).ok());
  EXPECT_EQ(result.countsText, " 1 key, 2 citations");
  // The run's Error Report entries reach the session with the commit.
  const std::string unreadable =
      "FILE: " + temp.folder.File("missing.txt") + "\r\nERROR: cannot read the file: No such file or directory\r\n\r\n";
  EXPECT_EQ(session.scan.ErrorReportText, "");
  CommitConcordance(session, result);
  EXPECT_EQ(session.scan.ErrorReportText, unreadable);
  // Every scratch file of the ordering is gone; the output stays.
  EXPECT_FALSE(std::filesystem::exists(temp.scratch.PathOf("A1")));
  EXPECT_EQ(ReadFile(result.outputPath).substr(0, 5), "cat\r\n");

  StopAfterFirstFile stop;
  ConcordanceOptions options;
  options.progress = &stop;
  ASSERT_TRUE(RunConcordance(session, query, temp.scratch, result, options).ok());
  EXPECT_EQ(result.countsText, " 1 key, 1 citation");

  // An empty pattern does nothing; a pattern of spaces runs with no keys.
  query.keys = "";
  ASSERT_TRUE(RunConcordance(session, query, temp.scratch, result).ok());
  EXPECT_FALSE(result.wrote);
  query.keys = "   ";
  ASSERT_TRUE(RunConcordance(session, query, temp.scratch, result).ok());
  EXPECT_EQ(result.countsText, " 0 keys, 0 citations");
  EXPECT_EQ(ReadFile(result.outputPath), "");
}

}  // namespace
}  // namespace wordloom::test
