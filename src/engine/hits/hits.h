// Hits as data: a concordance run kept hit by hit, to be re-windowed, re-sorted, thinned and
// exported without searching the texts again.
//
// GatherHits reads the project's texts once, as the keyword pass or the whole-line pass does (a
// search of single words on a project whose index matches reads each text only around the words
// that can be hits; see concordance/indexed_texts.h), and keeps every hit in a HitStore: its
// file, the byte offset and length of the matched text in that file, its line within the file,
// the running line number, the citation, the matched text and, for sorting, the five words on
// either side. Beyond the four match kinds of the text outputs it searches with wildcards, a
// regular expression or a phrase of word patterns with gaps; a phrase is matched over the
// words, so punctuation and line ends between them do not stop it, and counts once per first
// word (the shortest match).
//
// Contexts are not stored: HitStore::Context reads the text at the hit's offset and cuts them
// under the project's rules, in words or in characters (display columns in UTF-8), as the
// reader gives the text (join, end hyphen and end-of-line text). ArrangeHits thins and sorts
// the rows; ExportHits streams them as TSV, CSV or JSON Lines.
//
// Guarantees: the hits, citations and contexts are those of the keyword pass wherever the two
// describe the same thing; a store is read-only once gathered and safe to read from several
// threads; a failed or stopped run leaves the scratch folder's earlier store untouched.
// Memory: a store keeps its hits in two scratch files, mapped for reading (about 100 bytes a
// hit plus its words and citation); an arrangement holds 8 bytes a row, and sorting 12 bytes a
// row for each level. Context reads a few hundred bytes of text around one hit.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/line_source.h"
#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "base/table_writer.h"
#include "concordance/citation_sort.h"
#include "concordance/concordance_run.h"
#include "project/session.h"

namespace wordloom {

struct HitRecord;
struct WindowText;

enum class SearchMode { Word, Prefix, Suffix, Anywhere, Wildcard, Regex, Phrase };

// "word", "prefix", "suffix", "anywhere", "wildcard", "regex", "phrase".
std::optional<SearchMode> SearchModeNamed(std::string_view name);
std::string_view SearchModeName(SearchMode mode);

struct HitQuery {
  ConcordanceKind kind = ConcordanceKind::Kwic;
  // The keys as typed: split at spaces for the four match kinds and wildcards (one key each);
  // one regular expression; one phrase ("in * of", "take|took care", "make {0,3} decision").
  std::string keys;
  SearchMode mode = SearchMode::Word;
  bool keyWords = false;  // the committed key words are the keys, matched as words
  int keyWordsOrder = 1;
  bool keyWordsRhyme = false;
  std::string citationLetters;
};

// The words of a hit kept for sorting: L5..L1, the key, R1..R5, lower case.
inline constexpr int kSortWords = 5;

struct Hit {
  int64_t number = 0;    // 1-based, in gathering order
  int32_t file = 0;      // index into HitStore::files()
  int32_t key = 0;       // 1-based position in HitStore::keys()
  int64_t offset = 0;    // of the matched text's first byte in the file (0-based)
  int64_t length = 0;    // bytes of the file up to the end of the matched text
  int64_t fileLine = 0;  // the physical line of the file that holds the offset, from 1
  int64_t line = 0;      // the running line number, as the citation's "L" gives it
  int64_t sequence = 0;  // numbered lines read when the hit was found
  std::string citation;
  std::string text;      // the matched text as the reader gives it; a whole line for Line runs
  std::array<std::string, 2 * kSortWords + 1> words;  // empty where the file has no word
};

enum class ContextUnit { Words, Characters };

struct ContextWindow {
  ContextUnit unit = ContextUnit::Words;
  int size = 5;  // words 1 to 20, or characters 1 to 120; clamped
};

// Text read for one context and kept for the next, with the reader that read it: contexts read
// in the order of the text read each stretch of it once. One for each thread.
struct TextCache {
  int32_t file = -1;
  int64_t start = 0;
  bool toEnd = false;  // the bytes run to the file's end
  std::string bytes;
  std::optional<ScanContext> reader;
};

struct HitContext {
  std::string left;  // ends where the key starts
  std::string key;
  std::string right;  // starts where the key ends
};

class HitStore {
 public:
  ~HitStore();
  HitStore(const HitStore&) = delete;
  HitStore& operator=(const HitStore&) = delete;

  int64_t size() const { return count_; }
  ConcordanceKind kind() const { return kind_; }
  bool utf8() const { return utf8_; }
  const std::vector<std::string>& keys() const { return keys_; }
  const std::vector<std::string>& files() const { return files_; }

  // The hit at `row` (0-based, gathering order).
  void Read(int64_t row, Hit& hit) const;
  // Parts of a hit, read in place (a word is valid while the store lives).
  std::string_view Word(int64_t row, size_t index) const;
  std::string_view Citation(int64_t row) const;
  int32_t KeyNumber(int64_t row) const;
  int32_t FileNumber(int64_t row) const;
  int64_t FileLine(int64_t row) const;
  int64_t Offset(int64_t row) const;
  int64_t Length(int64_t row) const;
  // Its contexts, read from its text. Fails when the text cannot be read; a text that changed
  // since the run gives whatever now stands there.
  [[nodiscard]] Status Context(int64_t row, const ContextWindow& window, HitContext& out,
                               TextCache* cache = nullptr) const;

 private:
  friend class HitStoreBuilder;
  friend class ReferenceReader;
  HitStore() = default;
  HitRecord Record(int64_t row) const;
  std::string_view String(int64_t row, size_t index) const;  // the index-th of its strings
  Status ReadContextWindow(int32_t file, int64_t start, int64_t end, size_t keyStart, size_t keyEnd,
                           const ContextWindow& window, WindowText& text, TextCache* cache) const;
  // The file's bytes [start, end) (end -1: to its end), from the cache when it holds them.
  Status ReadText(int32_t file, int64_t start, int64_t end, TextCache* cache, std::string& own,
                  std::string_view& bytes) const;
  // An open descriptor of the store's file, opened at first need and kept (-1 with `status`).
  int FileDescriptor(int32_t file, Status& status) const;

  ConcordanceKind kind_ = ConcordanceKind::Kwic;
  bool utf8_ = false;
  std::vector<std::string> keys_;
  std::vector<std::string> files_;
  int64_t count_ = 0;
  ScanRules rules_;  // the rules the contexts are read under
  CharTables tables_;
  ScanContext reader_;  // the reader, prepared once for every context
  // Where each file starts: the running line number and the reference values then in force.
  struct FileStart {
    int64_t line = 0;
    std::array<std::string, kLetterCount + 1> values;
  };
  std::vector<FileStart> fileStarts_;
  mutable std::mutex filesMutex_;
  mutable std::vector<int> fds_;
  const unsigned char* records_ = nullptr;
  size_t recordsSize_ = 0;
  const unsigned char* strings_ = nullptr;
  size_t stringsSize_ = 0;
};

// The reference values in force at places of one file of a store, as the run read them: index 1
// (A) to 26 (Z), and index 12 ("L") the running line number there. The file is read forward
// from the last place asked for, and from its start again only for an earlier place, so a
// cursor moving on through the text costs the text it passes. Memory: one line of the text.
class ReferenceReader {
 public:
  ReferenceReader(std::shared_ptr<const HitStore> store, int32_t file);
  [[nodiscard]] Status ValuesAt(int64_t offset, std::array<std::string, kLetterCount + 1>& values);

 private:
  // A line as read: where it starts, the values in force once its tags are read, and what
  // counts its line numbers.
  struct Line {
    int64_t offset = -1;
    std::array<std::string, kLetterCount + 1> values;
    int64_t firstLineNumber = 0;
    std::string text;
    size_t insideLength = 0;
    LineOrigins origins;
  };
  Status Restart();
  bool ReadLine(Line& line);

  std::shared_ptr<const HitStore> store_;
  int32_t file_;
  LineSource source_;
  std::optional<ScanContext> context_;
  Line current_;    // the last line read at or before the place asked for
  Line next_;       // the line read after it, if any
  bool atEnd_ = false;
  Status error_;
};

struct HitRunResult {
  std::shared_ptr<const HitStore> store;  // null when there was nothing to do
  std::string countsText;                 // " 2 keys, 15 citations"
  bool stopped = false;
  // For CommitHits, as for a concordance run.
  std::optional<ScanContext> scan;
  std::optional<EntryView> keyWordsList;
};

// Gathers the hits of `query` over the session's project into the scratch folder's store.
// Fails when the query is not valid (an empty or malformed pattern: the message says why) or
// the scratch files cannot be written.
[[nodiscard]] Status GatherHits(const Session& session, const HitQuery& query, const ScratchFolder& scratch,
                                HitRunResult& result, ProgressSink* progress = nullptr);

// Makes what the run changed current (the reader and its Error Report entries, the re-sorted
// key words), as CommitConcordance does.
void CommitHits(Session& session, HitRunResult& result);

enum class SortField { Key, L1, L2, L3, L4, L5, R1, R2, R3, R4, R5, File, Line };
struct SortLevel {
  SortField field = SortField::Key;
  bool descending = false;
};
// "KEY,R1,L1-": levels separated by commas, a trailing "-" for descending; names in either
// case (KEY, L1..L5, R1..R5, FILE, LINE). Nullopt when a level is not one of them.
std::optional<std::vector<SortLevel>> ParseSortLevels(std::string_view text);
std::string SortFieldName(SortField field);

struct Thinning {
  enum class Kind { None, Sample, Every };
  Kind kind = Kind::None;
  int64_t n = 0;      // the sample's size, or the step
  uint64_t seed = 0;  // the same seed gives the same sample
};

// The rows of a view, as indexes into the store: thinned in gathering order (a sample keeps
// its hits in that order; every n-th keeps hits 1, n+1, 2n+1, ...), then sorted by `levels`
// in the project's collation, ties in gathering order; `byKeyFirst` groups them by key number
// before the levels. With no levels the rows come by key number, then in gathering order.
// `within`, when given, holds the only rows to arrange (in gathering order), as a table limited
// to some of a run's hits shows them. False when `progress` asked to stop.
bool ArrangeHits(const HitStore& store, const CharTables& tables, const Thinning& thinning,
                 const std::vector<SortLevel>& levels, std::vector<int64_t>& rows, ProgressSink* progress = nullptr,
                 bool byKeyFirst = false, const std::vector<int64_t>* within = nullptr);

// GatherHits, then ArrangeHits of what it found, into `rows`: a run stopped while gathering
// still arranges the hits found so far; a stop while arranging leaves them in gathering order.
[[nodiscard]] Status GatherArrangedHits(const Session& session, const HitQuery& query, const ScratchFolder& scratch,
                                        const Thinning& thinning, const std::vector<SortLevel>& levels,
                                        HitRunResult& result, std::vector<int64_t>& rows, ProgressSink& progress);

// The number of places of a store's hits: rows of one file and offset (a word that two keys
// match) count once. A search over the scan's tokens counts the same hits while the texts are
// as they were scanned.
int64_t CountHitPlaces(const HitStore& store);

// The columns of an exported hit table: file, line, citation, left, key, right, offset.
std::vector<TableColumn> HitColumns();

// Writes `rows` of the store in `format` (not Text), with contexts per `window`; Line runs
// give the whole line as `left`. Progress counts rows; a stop ends the table early (the
// result says so). Fails when a text cannot be read or the output cannot be written.
[[nodiscard]] Status ExportHits(const HitStore& store, const std::vector<int64_t>& rows, const ContextWindow& window,
                                TableFormat format, FileWriter& out, ProgressSink* progress = nullptr);

}  // namespace wordloom
