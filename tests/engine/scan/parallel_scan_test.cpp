// The vocabulary scan on several threads: the texts are cut only where nothing runs on from one
// line to the next, and the pieces read side by side give exactly what the single pass gives
// (vocabulary, ranges, totals, the reader's state, the Error Report), whatever the cuts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/engine_support.h"
#include "scan/parallel_scan.h"
#include "scan/text_pieces.h"
#include "scan/text_reader.h"
#include "scan/vocabulary.h"

namespace wordloom {
namespace {

using test::TempFolder;

ScanRules MakeRules(TextEncoding encoding, WordBoundaries words, const char* join, const char* endOfLine,
                    const char* endHyphen, bool references) {
  ScanRules rules;
  rules.encoding = encoding;
  if (encoding == TextEncoding::Utf8) rules.alphabet = kDefaultUtf8Alphabet;
  rules.words = words;
  rules.join = join;
  rules.endOfLine = endOfLine;
  rules.endHyphen = endHyphen;
  rules.referenceType = references ? ReferenceType::Type1 : ReferenceType::None;
  return rules;
}

constexpr TextEncoding kCp1252 = TextEncoding::Windows1252;
constexpr TextEncoding kUtf8 = TextEncoding::Utf8;
constexpr WordBoundaries kRuns = WordBoundaries::Alphabet;
constexpr WordBoundaries kUax29 = WordBoundaries::Unicode;

// ---- Where the plan cuts ---------------------------------------------------------------

struct CutCase {
  const char* name;
  ScanRules rules;
  std::vector<std::string> lines;  // with their line ends
  std::vector<size_t> cutAfter;    // the lines a cut follows
};

TEST(ParallelScanTest, PiecesAreCutOnlyWhereNothingRunsOn) {
  const CutCase cases[] = {
      {"every line end", {}, {"one\n", "two\n", "three\n"}, {0, 1}},
      {"never the file's last line", {}, {"one\n", "two"}, {0}},
      {"not after a blank line", {}, {"one\n", "\n", "two\n", "   \n", "x\n"}, {0, 2}},
      {"CR LF and lone CR", {}, {"one\r\n", "two\r", "three\r\n", "x"}, {0, 1, 2}},
      {"not after a join", MakeRules(kCp1252, kRuns, "&", "/", "", false), {"on&e\n", "two\n", "three&\n", "x\n"}, {1}},
      {"not after an end hyphen that is a word character", MakeRules(kCp1252, kRuns, "", "/", "-", false),
       {"exam-\n", "ple\n", "end =\n", "x\n"}, {1, 2}},
      {"without end-of-line text, only after a word's end", MakeRules(kCp1252, kRuns, "", "", "", false),
       {"one.\n", "two\n", "six. \n", "x\n"}, {0, 2}},
      {"a line of tags alone is blank", MakeRules(kCp1252, kRuns, "", "/", "", true),
       {"a <A x>\n", "<B y> <1 note>\n", "b\n", "c\n"}, {0, 2}},
      {"a UTF-8 end-of-line character beyond ASCII", MakeRules(kUtf8, kRuns, "", "\xC2\xB6", "", false),
       {"a\n", "b\n", "c\n"}, {}},
      {"UTF-8 words", MakeRules(kUtf8, kRuns, "", "/", "", false), {"caf\xC3\xA9\n", "\xE4\xB8\x80\n", "x\n"}, {0, 1}},
      {"Unicode word boundaries: before ASCII only", MakeRules(kUtf8, kUax29, "", "/", "", false),
       {"\xE4\xB8\x80\xE4\xBA\x8C\n", "\xE4\xB8\x89\n", "abc\n", "&xyz\n", "q\n"}, {1, 2, 3}},
      {"Unicode word boundaries: after a boundary mark", MakeRules(kUtf8, kUax29, "&", "", "", false),
       {"one.\n", "two!\n", "three!\n", "&four?\n", "five?\n", "x\n"}, {1, 4}},
  };
  for (const CutCase& c : cases) {
    TempFolder folder;
    std::string text;
    std::vector<int64_t> ends;
    for (const std::string& line : c.lines) ends.push_back(static_cast<int64_t>((text += line).size()));
    const std::vector<std::string> files = {folder.Write("t.txt", text)};
    const CharTables tables = BuildCharTables(c.rules);
    ScanContext reader;
    BeginPass(reader, c.rules, tables, std::string(200, ' '));
    const PiecePlan plan = PlanPieces(files, reader, tables, 1, 2);
    std::vector<int64_t> expected = {0}, begins;
    for (size_t line : c.cutAfter) expected.push_back(ends[line]);
    for (const TextPiece& piece : plan.pieces) begins.push_back(piece.begin);
    EXPECT_EQ(begins, expected) << c.name;
    EXPECT_TRUE(plan.pieces.back().LastOfFile()) << c.name;
  }
}

// ---- The pieces against the single pass ------------------------------------------------

// Random texts of words, marks, tags (good and bad), joins, end hyphens, blank lines, line ends
// of every kind and, in UTF-8, characters beyond ASCII and invalid bytes.
std::string RandomText(std::mt19937& rng, bool utf8) {
  static const std::vector<std::string> kCommon = {
      "cat", "Dog", "don't", "e-mail", "x", "42", "the", "THE", "a", "--", "'", "/", "&", "-", "!", "?", ".", ",",
      "(", "<A Act 1>", "<L 7>", "<L x>", "<B", "<1 note>", "<Ab>", "<c comment>", ">", std::string(300, 'q'),
      "word-", "join&", "end!", "?x"};
  static const std::vector<std::string> kCp1252 = {"caf\xE9", "\xC9T\xC9", "na\xEFve", "\x93quoted\x94", "\xA7"};
  static const std::vector<std::string> kUtf8 = {
      "caf\xC3\xA9", "\xC3\x84rger", "e\xCC\x81t\xC3\xA9", "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE",
      "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97", "don\xE2\x80\x99t", "\xFF", "\xC3", "\xF0\x9D\x92\x9C", "\xC2\xA7",
      "\xCC\x81", "\xE2\x80\x8D"};
  static const std::vector<std::string> kGaps = {" ", " ", "  ", "\t", ", "};
  static const std::vector<std::string> kEnds = {"\n", "\n", "\r\n", "\r", "\n\n", "   \n", "\n \n", "-\n", "&\n"};
  const std::vector<std::string>& own = utf8 ? kUtf8 : kCp1252;
  std::string text = utf8 && rng() % 4 == 0 ? "\xEF\xBB\xBF" : "";
  for (int tokens = static_cast<int>(rng() % 400); tokens > 0; --tokens) {
    const unsigned pick = rng() % 10;
    text += pick < 6 ? kCommon[rng() % kCommon.size()] : own[rng() % own.size()];
    text += rng() % 4 == 0 ? kEnds[rng() % kEnds.size()] : kGaps[rng() % kGaps.size()];
  }
  if (rng() % 3 == 0) text += kCommon[rng() % kCommon.size()];  // no line end after the last line
  return text;
}

struct Scanned {
  Status status;
  EntryList vocabulary;
  std::vector<uint32_t> ranges;
  ScanTotals totals;
  ScanContext context;
};

// A reader as a session leaves it after other passes: counters, references and padding set.
ScanContext UsedReader() {
  ScanContext context;
  context.state.currentLineNumber = 41;
  context.state.fileLineNumber = 33;
  context.state.endOfFileCount = 5;
  context.state.currentChar = 'q';
  context.state.currentFileName = "earlier.txt";
  context.references.ReferenceLetterValue[1] = "before";
  context.references.ReferenceLetterValue[12] = "9";
  context.references.contextPadding = " pad";
  return context;
}

Scanned Scan(const std::vector<std::string>& files, const ScanRules& rules, const VocabularyOptions& options) {
  test::TempScratch temp;
  Scanned r;
  r.context = UsedReader();
  r.status = BuildVocabulary(files, rules, BuildCharTables(rules), temp.scratch, r.context, r.totals, r.vocabulary,
                             r.ranges, options);
  return r;
}

// Everything the scan leaves in the reader but its scratch copy of the raw line.
void ExpectSameReader(const ScanContext& one, const ScanContext& pieces, const std::string& where) {
  const ScanState& a = one.state;
  const ScanState& b = pieces.state;
  EXPECT_EQ(a.lineBuffer, b.lineBuffer) << where;
  EXPECT_EQ(a.linePosition, b.linePosition) << where;
  EXPECT_EQ(a.lineLength, b.lineLength) << where;
  EXPECT_EQ(a.joinPending, b.joinPending) << where;
  EXPECT_EQ(a.endOfFileCount, b.endOfFileCount) << where;
  EXPECT_EQ(a.currentChar, b.currentChar) << where;
  EXPECT_EQ(a.currentClass, b.currentClass) << where;
  EXPECT_EQ(a.invalidReported, b.invalidReported) << where;
  EXPECT_EQ(a.physicalLineOffset, b.physicalLineOffset) << where;
  EXPECT_EQ(a.currentLineNumber, b.currentLineNumber) << where;
  EXPECT_EQ(a.fileLineNumber, b.fileLineNumber) << where;
  EXPECT_EQ(a.physicalLineTotal, b.physicalLineTotal) << where;
  EXPECT_EQ(a.logicalLineTotal, b.logicalLineTotal) << where;
  EXPECT_EQ(a.currentFileName, b.currentFileName) << where;
  EXPECT_EQ(one.references.ReferenceLetterUsed, pieces.references.ReferenceLetterUsed) << where;
  EXPECT_EQ(one.references.ReferenceLetterValue, pieces.references.ReferenceLetterValue) << where;
  EXPECT_EQ(one.ErrorReportText, pieces.ErrorReportText) << where;
}

// True when the scan of `files` on several threads merged its pieces rather than leaving the
// texts to the single pass: the plan cut nowhere that something runs on.
bool PiecesHold(const std::vector<std::string>& files, const ScanRules& rules, const VocabularyOptions& options) {
  const CharTables tables = BuildCharTables(rules);
  ScanContext context = UsedReader();
  context.references.ReferenceLetterUsed.fill(0);
  BeginPass(context, rules, tables, std::string(200, ' '));
  context.state.physicalLineTotal = context.state.logicalLineTotal = 0;
  const size_t threads = static_cast<size_t>(options.threads);
  if (PlanPieces(files, context, tables, options.pieceBytes, threads).groupStarts.size() < 2) return true;  // no cut
  test::TempScratch temp;
  ScanTotals totals;
  EntryList vocabulary;
  std::vector<uint32_t> ranges;
  Status status;
  return ScanInPieces(files, tables, temp.scratch, context, totals, vocabulary, ranges, options, status) && status.ok();
}

TEST(ParallelScanTest, PiecesGiveExactlyTheSinglePass) {
  struct Variant {
    const char* name;
    ScanRules rules;
  };
  const Variant variants[] = {
      {"Windows-1252, default rules", MakeRules(kCp1252, kRuns, "", "/", "", false)},
      {"Windows-1252, join, end hyphen, tags", MakeRules(kCp1252, kRuns, "&", "/", "-", true)},
      {"Windows-1252, no end-of-line text", MakeRules(kCp1252, kRuns, "&", "", "-", true)},
      {"UTF-8 words, join, end hyphen, tags", MakeRules(kUtf8, kRuns, "&", "/", "-", true)},
      {"UTF-8 words, a join beyond ASCII", MakeRules(kUtf8, kRuns, "\xC2\xA7", "/", "", true)},
      {"Unicode word boundaries, join, end hyphen, tags", MakeRules(kUtf8, kUax29, "&", "/", "-", true)},
      {"Unicode word boundaries, no end-of-line text", MakeRules(kUtf8, kUax29, "", "", "", true)},
  };
  std::mt19937 rng(18);
  for (const Variant& variant : variants) {
    const bool utf8 = variant.rules.encoding == kUtf8;
    for (int round = 0; round < 10; ++round) {
      TempFolder folder;
      std::vector<std::string> files;
      for (int f = static_cast<int>(1 + rng() % 4); f > 0; --f) {
        files.push_back(folder.Write(std::to_string(files.size()) + ".txt", RandomText(rng, utf8)));
        if (rng() % 6 == 0) files.push_back(folder.File("missing.txt"));
        if (rng() % 6 == 0) files.push_back(folder.Write("empty" + std::to_string(files.size()) + ".txt", ""));
      }
      const Scanned one = Scan(files, variant.rules, {.threads = 1});
      VocabularyOptions pieces;
      pieces.threads = 2 + round % 2;
      pieces.pieceBytes = 1 + rng() % 200;
      if (round % 3 == 0) pieces.budgetBytes = 1;  // every table spills
      const Scanned many = Scan(files, variant.rules, pieces);
      const std::string where = std::string(variant.name) + ", round " + std::to_string(round);
      ASSERT_TRUE(one.status.ok()) << where << ": " << one.status.message();
      ASSERT_TRUE(many.status.ok()) << where << ": " << many.status.message();
      EXPECT_EQ(one.vocabulary, many.vocabulary) << where;
      EXPECT_EQ(one.ranges, many.ranges) << where;
      EXPECT_EQ(one.totals.tokenCount, many.totals.tokenCount) << where;
      EXPECT_EQ(one.totals.longestWord, many.totals.longestWord) << where;
      EXPECT_EQ(one.totals.linesShown, many.totals.linesShown) << where;
      EXPECT_EQ(one.totals.vocabularySize, many.totals.vocabularySize) << where;
      ExpectSameReader(one.context, many.context, where);
      EXPECT_TRUE(PiecesHold(files, variant.rules, pieces)) << where;
    }
  }
}

// The sink hears of the files done from the calling thread, up to all of them; a stop asked
// before the first piece ends the scan with nothing counted.
class RecordingSink : public ProgressSink {
 public:
  explicit RecordingSink(bool stop) : stop_(stop) {}
  void Progress(int64_t done, int64_t total) override { calls.emplace_back(done, total); }
  bool StopRequested() override { return stop_; }
  std::vector<std::pair<int64_t, int64_t>> calls;

 private:
  bool stop_;
};

TEST(ParallelScanTest, ProgressCountsFilesAndAStopEndsTheScan) {
  TempFolder folder;
  std::vector<std::string> files;
  for (int f = 0; f < 5; ++f) files.push_back(folder.Write(std::to_string(f) + ".txt", "one two\nthree four\nfive\n"));
  for (bool stop : {false, true}) {
    RecordingSink sink(stop);
    VocabularyOptions options;
    options.threads = 2;
    options.pieceBytes = 4;
    options.progress = &sink;
    const Scanned scanned = Scan(files, ScanRules{}, options);
    ASSERT_TRUE(scanned.status.ok());
    if (stop) {
      EXPECT_TRUE(scanned.vocabulary.empty());
      continue;
    }
    EXPECT_EQ(scanned.vocabulary.size(), 6u);  // and "pad", the reader's context padding
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_EQ(sink.calls.back(), std::make_pair(int64_t{5}, int64_t{5}));
    for (size_t i = 1; i < sink.calls.size(); ++i) EXPECT_LT(sink.calls[i - 1].first, sink.calls[i].first);
  }
}

}  // namespace
}  // namespace wordloom
