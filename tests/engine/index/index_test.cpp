// The positional index: what a pass reads from it equals what it reads from the texts, after
// rebuilds that reuse unchanged texts, and a stale, damaged or foreign index is never used.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <tuple>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "index/index.h"
#include "index/index_format.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// Everything a pass can see of the token stream: each text's tokens, each with the values of
// letters A and S in force at the last line handed out before it.
class StreamRecorder : public TokenSink {
 public:
  void BeginFile(uint32_t file) override { seen += "[" + std::to_string(file) + "]"; }
  void LineRead(const ScanContext& context) override {
    values = context.references.ReferenceLetterValue[1] + "|" + context.references.ReferenceLetterValue[19];
  }
  void Token(EntryPosition entry) override { seen += " " + std::to_string(entry) + "@" + values; }
  void EndFile() override { seen += "\n"; }
  std::string seen;
  std::string values;
};

std::string FromTexts(const Session& session) {
  StreamRecorder recorder;
  EXPECT_TRUE(StreamTokens(session.project.Files, session.project.rules, session.tables, session.scan,
                           session.lists.Vocabulary, recorder));
  return recorder.seen;
}

std::string FromProject(const Session& session) {
  StreamRecorder recorder;
  EXPECT_TRUE(StreamProjectTokens(session, session.scan, recorder));
  return recorder.seen;
}

// The index of `session` at `path`, opened into the session.
void Index(Session& session, const std::string& path, const ScratchFolder& scratch) {
  ASSERT_TRUE(UpdateProjectIndex(session, path, scratch, session.index).ok());
  ASSERT_TRUE(session.index);
  ASSERT_TRUE(session.index->Matches(session));
}

// The index answers as the texts do: the stream, each entry's positions and the ranges.
void ExpectIndexAgrees(const Session& session) {
  ASSERT_TRUE(session.index && session.index->Matches(session));
  StreamRecorder recorder;
  ASSERT_TRUE(session.index->Stream(session.scan, recorder, nullptr));
  EXPECT_EQ(recorder.seen, FromTexts(session));

  std::vector<std::vector<int64_t>> expected(session.lists.Vocabulary.size());
  int64_t position = 0;
  for (size_t file = 0; file < session.index->fileCount(); ++file) {
    for (uint32_t entry : session.index->FileTokens(file)) {
      if (entry != kNoEntry) expected[entry].push_back(position);
      ++position;
    }
  }
  EXPECT_EQ(position, session.index->tokenCount());
  std::vector<int64_t> positions;
  for (EntryPosition entry = 0; entry < expected.size(); ++entry) {
    ASSERT_TRUE(session.index->Positions(entry, positions));
    EXPECT_EQ(positions, expected[entry]) << session.lists.Vocabulary[entry].word;
  }
  std::vector<uint32_t> fromIndex, fromTexts;
  ASSERT_TRUE(CountProjectRanges(session, fromIndex));
  ASSERT_TRUE(CountWordRanges(session.project.Files, session.project.rules, session.tables, session.scan,
                              session.lists.Vocabulary, fromTexts));
  EXPECT_EQ(fromIndex, fromTexts);
}

// Random texts of words, tags, joins, end hyphens, blank lines and line ends of each kind; with
// `plain`, of no tag and no invalid byte, which would add to the Error Report.
std::string RandomText(std::mt19937& random, bool utf8, int pieces = 60, bool plain = false) {
  static const char* words[] = {"cat", "Dog", "re-\r\n", "turn", "&dropped\n", "<A one>", "<S Mira>", "<A two>",
                                "\r\n\r\n", "fish.", " ", "<S Oren>", "\r", "--", "don't", "end-"};
  static const char* utf8Words[] = {"caf\xC3\xA9", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",
                                    "\xE5\x9B\xAD\xE5\xAD\x90", "\xFF"};
  std::string text;
  for (int i = static_cast<int>(random() % pieces); i > 0; --i) {
    const unsigned pick = random() % (utf8 ? 20 : 16);
    const std::string_view word = pick < 16 ? words[pick] : utf8Words[pick - 16];
    text += plain && (word.front() == '<' || word == "\xFF") ? "mat\r\n" : word;
    text += ' ';
  }
  return text;
}

TEST(ProjectIndex, AgreesWithTheTextsOnRandomProjects) {
  std::mt19937 random(29);
  const ScanRules rules[] = {MarkupRules(TextEncoding::Windows1252), MarkupRules(TextEncoding::Utf8),
                             MarkupRules(TextEncoding::Utf8, WordBoundaries::Unicode)};
  for (int round = 0; round < 60; ++round) {
    const ScanRules& rule = rules[round % 3];
    std::vector<std::string> texts(1 + random() % 4);
    for (std::string& text : texts) text = RandomText(random, rule.encoding == TextEncoding::Utf8);
    texts[0] += " word";  // never an empty vocabulary
    ScannedProject corpus(NumberedTexts(texts), rule);
    Index(corpus.session, corpus.temp.folder.File("p.wlx"), corpus.temp.scratch);
    ExpectIndexAgrees(corpus.session);
  }
}

// What the reader had handed out before each line of each text, as a single pass sees it: the
// state a restart point at that line must give.
class ReaderBeforeLines : public TokenSink {
 public:
  struct Before {
    int64_t chars, tokens, physical, logical, lineNumber, fileLine;
  };
  explicit ReaderBeforeLines(const ScanContext& reader) : last_{0, 0, reader.state.currentLineNumber, 1} {}
  void BeginFile(uint32_t) override {
    start_ = last_;
    chars_ = tokens_ = 0;
    texts.emplace_back();
  }
  void LineRead(const ScanContext& context) override {
    const ScanState& s = context.state;
    texts.back().try_emplace(s.physicalLineOffset, Before{chars_, tokens_, last_[0] - start_[0], last_[1] - start_[1],
                                                          last_[2] - start_[2], last_[3]});
    chars_ += std::min(s.linePosition - 1, s.lineLength);
    TextRead(context);
  }
  void TextRead(const ScanContext& context) override {
    const ScanState& s = context.state;
    last_ = {s.physicalLineTotal, s.logicalLineTotal, s.currentLineNumber, s.fileLineNumber};
  }
  void Token(EntryPosition) override { ++tokens_; }
  std::vector<std::map<int64_t, Before>> texts;  // per text: by the offset of the line

 private:
  std::array<int64_t, 4> last_, start_{};  // physical, logical, line number, file line
  int64_t chars_ = 0, tokens_ = 0;
};

// Built on several threads, each text cut into pieces, an index holds the single pass's tokens,
// lines and counts; its restart points lie elsewhere (each piece counts characters afresh),
// and each gives the reader's state at its line as the single pass has it there. So does one
// built from the tokens a scan in pieces recorded.
TEST(ProjectIndex, BuiltInPiecesHoldsWhatTheSinglePassHolds) {
  std::mt19937 random(31);
  const ScanRules rules[] = {MarkupRules(TextEncoding::Windows1252), MarkupRules(TextEncoding::Utf8),
                             MarkupRules(TextEncoding::Utf8, WordBoundaries::Unicode)};
  int cutRounds = 0, recordedRounds = 0;
  for (int round = 0; round < 30; ++round) {
    const ScanRules& rule = rules[round % 3];
    std::vector<std::string> texts(1 + random() % 3);
    for (std::string& text : texts) text = RandomText(random, rule.encoding == TextEncoding::Utf8, 3000, true);
    if (round % 2 == 1) texts[0] = "\xEF\xBB\xBF" + texts[0];  // a byte-order mark
    if (round % 4 == 1) texts.insert(texts.begin() + 1, "");
    texts[0] += " word";
    // A word longer than the keyword pass's ring, in no line's run of word characters.
    if (round % 3 == 0) texts.back() += "\n" + std::string(90, 'q') + "-\n" + std::string(90, 'z') + " end\n";
    ScannedProject corpus(NumberedTexts(texts), rule);
    Session& session = corpus.session;
    ASSERT_TRUE(UpdateProjectIndex(session, corpus.temp.folder.File("one.wlx"), corpus.temp.scratch, session.index,
                                   nullptr, IndexBuildOptions{.threads = 1})
                    .ok());
    const std::shared_ptr<const ProjectIndex> single = session.index;
    ReaderBeforeLines reader(session.scan);
    ASSERT_TRUE(StreamTokens(session.project.Files, session.project.rules, session.tables, session.scan,
                             session.lists.Vocabulary, reader));
    // Whether `built` holds what `single` does, its restart points aside: true when those differ.
    const auto holdsTheSinglePass = [&](const ProjectIndex& built) {
      bool cut = false;
      for (size_t file = 0; file < texts.size(); ++file) {
        const auto same = [](auto a, auto b) {
          return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
        };
        EXPECT_TRUE(same(built.FileTokens(file), single->FileTokens(file))) << "round " << round;
        EXPECT_TRUE(same(built.TextLines(file), single->TextLines(file))) << "round " << round;
        const ProjectIndex::Text& a = built.TextRecord(file);
        const ProjectIndex::Text& b = single->TextRecord(file);
        EXPECT_EQ(std::tie(a.firstToken, a.tokenCount, a.firstLine, a.lineCount, a.physicalLines, a.logicalLines,
                           a.lineNumber, a.flags),
                  std::tie(b.firstToken, b.tokenCount, b.firstLine, b.lineCount, b.physicalLines, b.logicalLines,
                           b.lineNumber, b.flags))
            << "round " << round;
        cut = cut || !same(built.TextCheckpoints(file), single->TextCheckpoints(file));
        for (const ProjectIndex::Checkpoint& point : built.TextCheckpoints(file)) {
          const auto before = reader.texts[file].find(point.offset);
          if (before == reader.texts[file].end()) {
            ADD_FAILURE() << "round " << round << ", offset " << point.offset;
            continue;
          }
          const ReaderBeforeLines::Before& b = before->second;
          EXPECT_EQ(std::tie(point.chars, point.token, point.physicalLines, point.logicalLines, point.lineNumber),
                    std::tie(b.chars, b.tokens, b.physical, b.logical, b.lineNumber))
              << "round " << round << ", offset " << point.offset;
          EXPECT_EQ(int64_t{point.fileLine}, b.fileLine) << "round " << round << ", offset " << point.offset;
        }
      }
      return cut;
    };

    ASSERT_TRUE(UpdateProjectIndex(session, corpus.temp.folder.File("p.wlx"), corpus.temp.scratch, session.index,
                                   nullptr, IndexBuildOptions{.threads = 3, .pieceBytes = 3000})
                    .ok());
    ExpectIndexAgrees(session);
    cutRounds += holdsTheSinglePass(*session.index) ? 1 : 0;

    // Scanned again on three threads, recording its tokens; built on one thread, so that only
    // the recording can put restart points elsewhere.
    ScanOutcome outcome;
    ASSERT_TRUE(ScanTexts(session, session.project.Files, session.project.rules, session.tables, corpus.temp.scratch,
                          outcome, VocabularyOptions{.threads = 3, .pieceBytes = 3000}, true)
                    .ok());
    CommitScan(session, std::move(outcome));
    ASSERT_TRUE(UpdateProjectIndex(session, corpus.temp.folder.File("r.wlx"), corpus.temp.scratch, session.index,
                                   nullptr, IndexBuildOptions{.threads = 1, .positionBytes = 200})
                    .ok());
    ExpectIndexAgrees(session);
    recordedRounds += holdsTheSinglePass(*session.index) ? 1 : 0;
  }
  EXPECT_GE(cutRounds, 25);  // the rounds were built in pieces at all
  EXPECT_GE(recordedRounds, 25);
}

// A recording that cannot stand for the texts leaves the build to read them, and no scratch
// file behind: one whose counters wrote their tables out mid-way, and one of a text rewritten
// since at its old size and modification time.
TEST(ProjectIndex, RecordingsThatCannotStandForTheTextsAreDropped) {
  // Texts of many words, for counters with little memory to write their tables out.
  std::vector<std::string> texts(2);
  for (size_t t = 0; t < texts.size(); ++t) {
    for (int word = 0; word < 3000; ++word) {
      texts[t] += 'w';
      texts[t] += std::to_string(word * 2 + static_cast<int>(t));
      texts[t] += word % 9 == 8 ? '\n' : ' ';
    }
  }
  ScannedProject corpus(NumberedTexts(texts), MarkupRules(TextEncoding::Windows1252));
  Session& session = corpus.session;
  const auto recordedFiles = [&] {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus.temp.scratch.folder())) {
      files += entry.path().filename().string().rfind("~R", 0) == 0 ? 1 : 0;
    }
    return files;
  };
  int round = 0;
  const auto scanAndBuild = [&](size_t budget, const std::function<void()>& between) {
    ScanOutcome outcome;
    ASSERT_TRUE(ScanTexts(session, session.project.Files, session.project.rules, session.tables, corpus.temp.scratch,
                          outcome, VocabularyOptions{.budgetBytes = budget, .threads = 3, .pieceBytes = 3000}, true)
                    .ok());
    CommitScan(session, std::move(outcome));
    between();
    const std::string path = corpus.temp.folder.File(std::to_string(++round) + ".wlx");
    ASSERT_TRUE(UpdateProjectIndex(session, path, corpus.temp.scratch, session.index, nullptr,
                                   IndexBuildOptions{.threads = 1})
                    .ok());
    ExpectIndexAgrees(session);
    EXPECT_EQ(recordedFiles(), 0);
  };
  scanAndBuild(16 << 10, [&] { EXPECT_EQ(recordedFiles(), 0); });
  scanAndBuild(48 << 20, [&] {
    EXPECT_GT(recordedFiles(), 0);
    struct stat before {};
    ASSERT_EQ(stat(session.project.Files[0].c_str(), &before), 0);
    std::string changed = texts[0];
    std::replace(changed.begin(), changed.end(), '1', '7');
    corpus.temp.folder.Write("0.txt", changed);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, session.project.Files[0].c_str(), times, 0), 0);
  });
  // A recorded file gone from the scratch folder: the texts are read instead.
  scanAndBuild(48 << 20, [&] {
    EXPECT_GT(recordedFiles(), 0);
    for (const auto& entry : std::filesystem::directory_iterator(corpus.temp.scratch.folder())) {
      if (entry.path().filename().string().rfind("~Rt", 0) == 0) std::filesystem::remove(entry.path());
    }
  });

  // A stop asked for while a recorded build runs ends it, leaving nothing behind.
  ScanOutcome outcome;
  ASSERT_TRUE(ScanTexts(session, session.project.Files, session.project.rules, session.tables, corpus.temp.scratch,
                        outcome, VocabularyOptions{.threads = 3, .pieceBytes = 3000}, true)
                  .ok());
  CommitScan(session, std::move(outcome));
  EXPECT_GT(recordedFiles(), 0);
  struct Stopping : ProgressSink {
    bool StopRequested() override { return true; }
  } stopping;
  const std::string path = corpus.temp.folder.File("stopped.wlx");
  EXPECT_EQ(UpdateProjectIndex(session, path, corpus.temp.scratch, session.index, &stopping, IndexBuildOptions{})
                .message(),
            "Stopped.");
  EXPECT_EQ(recordedFiles(), 0);
  for (const auto& entry : std::filesystem::directory_iterator(corpus.temp.folder.path())) {
    EXPECT_EQ(entry.path().filename().string().find("stopped"), std::string::npos) << entry.path();
  }
}

TEST(ProjectIndex, RebuildsAfterTextsChangeAreRemovedOrAdded) {
  ScannedProject corpus(NumberedTexts({"<A a> one two three", "two <A b> four", "five six <A c>", "seven"}),
                        MarkupRules(TextEncoding::Windows1252));
  Session& session = corpus.session;
  const std::string path = corpus.temp.folder.File("p.wlx");
  Index(session, path, corpus.temp.scratch);
  const uint64_t rulesKey = RulesKey(session.project.rules, session.tables);
  EXPECT_TRUE(IndexMayLendTexts(path, session.project.Files, rulesKey));
  // With no old index, the hashes are read while the index is built; they must be the texts'.
  for (size_t i = 0; i < session.project.Files.size(); ++i) {
    EXPECT_EQ(session.index->TextRecord(i).hash, StampText(session.project.Files[i], true).hash);
  }

  // A text changes: the old index is stale; the stream then comes from the texts.
  corpus.temp.folder.Write("1.txt", "two <A z> eight nine two");
  EXPECT_FALSE(session.index->Matches(session));
  EXPECT_TRUE(IndexMayLendTexts(path, session.project.Files, rulesKey));  // the others are unchanged
  EXPECT_FALSE(IndexMayLendTexts(path, session.project.Files, rulesKey + 1));
  EXPECT_FALSE(IndexMayLendTexts(path, {corpus.temp.folder.File("1.txt")}, rulesKey));
  EXPECT_EQ(FromProject(session), FromTexts(session));

  // Scanned again, one text removed and one added: the others' tokens are renumbered into
  // the new vocabulary.
  session.project.Files.erase(session.project.Files.begin() + 2);
  session.project.AddFile(corpus.temp.folder.Write("4.txt", "aardvark one <A d> zebra"));
  ASSERT_TRUE(ScanProjectTexts(session, corpus.temp.scratch).ok());
  Index(session, path, corpus.temp.scratch);
  ExpectIndexAgrees(session);

  // Touched but unchanged: its content hash lets the rebuild reuse it.
  const std::string touched = session.project.Files[0];
  struct timespec times[2] = {{0, UTIME_NOW}, {1000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, touched.c_str(), times, 0), 0);
  EXPECT_FALSE(session.index->Matches(session));
  Index(session, path, corpus.temp.scratch);
  ExpectIndexAgrees(session);
}

TEST(ProjectIndex, DamagedForeignAndOtherVersionFilesAreRebuilt) {
  ScannedProject corpus(NumberedTexts({"<S Mira> one two&x\r\nthree re-\r\nturn", "<S Oren> two four"}),
                        MarkupRules(TextEncoding::Windows1252));
  Session& session = corpus.session;
  const std::string path = corpus.temp.folder.File("p.wlx");
  Index(session, path, corpus.temp.scratch);
  const std::string good = ReadFile(path);
  session.index.reset();

  std::shared_ptr<const ProjectIndex> opened;
  for (size_t length = 0; length < good.size(); ++length) {
    corpus.temp.folder.Write("p.wlx", good.substr(0, length));
    EXPECT_FALSE(ProjectIndex::Open(path, opened).ok()) << "cut at " << length;
  }
  std::string otherVersion = good;
  otherVersion[otherVersion.size() - sizeof(IndexHeader) + offsetof(IndexHeader, version)] = kIndexVersion + 1;
  for (const std::string& bad : {otherVersion, ReadFile(session.project.Files[0]), std::string(4096, '\0')}) {
    corpus.temp.folder.Write("p.wlx", bad);
    EXPECT_FALSE(ProjectIndex::Open(path, opened).ok());
  }

  // Bytes changed anywhere: opening may succeed, but reading never leaves the file.
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    std::string damaged = good;
    for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
      damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
    }
    corpus.temp.folder.Write("p.wlx", damaged);
    if (!ProjectIndex::Open(path, opened).ok()) continue;
    StreamRecorder recorder;
    (void)opened->Stream(session.scan, recorder, nullptr);
    std::vector<int64_t> positions;
    for (EntryPosition entry = 0; entry <= opened->entryCount(); ++entry) (void)opened->Positions(entry, positions);
  }
  opened.reset();

  corpus.temp.folder.Write("p.wlx", good.substr(0, good.size() / 2));
  Index(session, path, corpus.temp.scratch);
  ExpectIndexAgrees(session);
}

// Collocates read only the stretches around a rare node's positions; they count what the whole
// stream counts, for single words and phrases, whose windows meet, overlap or reach a text's end.
TEST(ProjectIndex, CollocatesAroundARareNodeAgreeWithTheWholeStream) {
  std::mt19937 random(41);
  const char* common[] = {"a", "b", "c", "d", "e", "f"};
  const std::pair<const char*, SearchMode> searches[] = {{"x", SearchMode::Word},
                                                         {"x y", SearchMode::Word},
                                                         {"x y", SearchMode::Phrase},
                                                         {"x {0,2} x|a", SearchMode::Phrase}};
  for (int round = 0; round < 80; ++round) {
    std::vector<std::string> texts(1 + random() % 3);
    for (std::string& text : texts) {
      // Nodes few enough for the stretches around them to be read instead of the whole stream.
      for (int i = static_cast<int>(random() % 3000); i > 0; --i) {
        const unsigned pick = random() % 1500;
        text += pick == 0 ? (random() % 2 ? "x y " : "x ") : std::string(common[pick % 6]) + (pick % 7 == 0 ? "\n" : " ");
      }
    }
    texts[0] += "a";
    ScannedProject corpus(NumberedTexts(texts));
    Session& session = corpus.session;
    Index(session, corpus.temp.folder.File("p.wlx"), corpus.temp.scratch);
    const auto& [keys, mode] = searches[round % 4];
    HitQuery query;
    query.keys = keys;
    query.mode = mode;
    std::unique_ptr<NodeSearch> search;
    ASSERT_TRUE(NodeSearch::Make(session, query, search).ok());
    CollocateOptions options;
    options.left = static_cast<int>(random() % 4);
    options.right = 1 + static_cast<int>(random() % 4);
    options.minimum = 1;
    auto counted = [&](bool indexed) {
      std::shared_ptr<const ProjectIndex> kept = session.index;
      if (!indexed) session.index.reset();
      CollocateResult result;
      EXPECT_TRUE(Collocates(session, *search, options, result).ok());
      std::string seen = std::to_string(result.nodeHits) + ":";
      for (const CollocateRow& row : result.rows) {
        std::vector<int64_t> hits;
        EXPECT_TRUE(CollocateHits(session, *search, options, row.entry, hits).ok());
        seen += " " + std::to_string(row.entry) + "/" + std::to_string(row.left) + "/" + std::to_string(row.right) +
                "/" + std::to_string(row.observed) + "/" + std::to_string(hits.size()) + "@" +
                (hits.empty() ? "" : std::to_string(hits.back()));
      }
      session.index = kept;
      return seen;
    };
    EXPECT_EQ(counted(true), counted(false)) << keys << " " << options.left << "/" << options.right;
  }
}

TEST(ProjectIndex, SitsBesideTheProjectFile) {
  EXPECT_EQ(IndexPathFor("/a/b/p.wlm"), "/a/b/p.wlx");
  EXPECT_EQ(IndexPathFor("/a/b.c/p"), "/a/b.c/p.wlx");
  EXPECT_EQ(IndexPathFor("/a/.hidden"), "/a/.hidden.wlx");
}

}  // namespace
}  // namespace wordloom::test
