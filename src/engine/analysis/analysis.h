// Analyses of a scanned project's words: the collocates of a search, n-grams and clusters,
// the dispersion of a search over the files or the values of a reference letter, and keyness
// against a reference corpus.
//
// Tokens are the words of the vocabulary scan, cut under the project's rules exactly as the
// scan cuts them, one stream per file: no window, n-gram or part reaches across a file's end.
// Each analysis reads the tokens once, from the project's index when it has one that matches
// and else from the texts (StreamProjectTokens in index/index.h), as their places in the vocabulary, so its counts agree with the word list's: N is the scan's
// token count and f(c) a word's frequency there. A search is any of the hit store's (word,
// prefix, suffix, anywhere, wildcard, regex, phrase); a single-word search's hit is one token,
// however many keys it matches, and a phrase's runs from its first token to the last of its
// shortest match, once per first token.
//
// Guarantees: an analysis reads a const Session and returns its result; a stopped or failed
// one returns no rows. Measures that would divide by zero or take the logarithm of a negative
// cell are NaN, written empty. The same input gives the same rows in the same order.
// Memory: collocates and dispersion keep a few counters a vocabulary entry (and, for a plot,
// 4 bytes a hit); n-grams count within a budget and spill sorted runs to the scratch folder,
// keeping only the rows listed (about 4 bytes a word of each, and 25 more); keyness holds the
// reference's words once.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "base/table_writer.h"
#include "hits/hits.h"
#include "project/session.h"
#include "scan/vocabulary.h"
#include "scan/word_lists.h"

namespace wordloom {

inline constexpr double kNoMeasure = std::numeric_limits<double>::quiet_NaN();

// A measure as the tables write it: up to 6 decimals, no exponent, trailing zeros dropped;
// empty for NaN or infinity.
std::string FormatMeasure(double value);

// Fails, saying so, when the project holds no words (never scanned, or texts without words).
[[nodiscard]] Status RequireWords(const Session& session);

// ---- Searching the token stream ---------------------------------------------------------

// A search over the project's tokens: which vocabulary entries a single-word search matches,
// or a phrase's steps, each matched against the vocabulary once.
class NodeSearch {
 public:
  // The keys and mode of `query` (its kind and citation letters are not used); the committed
  // key words when `query.keyWords`. Fails on an empty or malformed pattern.
  static Status Make(const Session& session, const HitQuery& query, std::unique_ptr<NodeSearch>& out);
  ~NodeSearch();

  // The most tokens a hit spans (1 for a single-word search).
  int reach() const { return reach_; }
  // The last token (an index into `tokens`) of the shortest hit that starts at tokens[0], or
  // -1; `tokens` holds up to reach() tokens, fewer at a file's end.
  int Match(const EntryPosition* tokens, size_t count) const;
  // The entries a hit can start with.
  std::vector<EntryPosition> StartEntries() const;

 private:
  NodeSearch() = default;
  struct Step;
  bool MatchesStep(size_t step, EntryPosition entry) const;

  int reach_ = 1;
  std::vector<Step> steps_;  // one for a single-word search
};

// A TokenSink that finds the hits of a search: each token comes to TokenAt with the number of
// tokens of the hit that starts at it (0 for none), a search's reach behind the stream.
class HitTokenSink : public TokenSink {
 public:
  explicit HitTokenSink(const NodeSearch& search) : search_(search) {}

  void BeginFile(uint32_t file) final;
  void LineRead(const ScanContext& context) final;
  void Token(EntryPosition entry) final;
  void EndFile() final;

 protected:
  virtual void FileStarted(uint32_t file) { (void)file; }
  // The part a line's tokens belong to, asked once a line (dispersion by reference letter).
  virtual uint32_t PartOfLine(const ScanContext& context) { (void)context; return 0; }
  // The token at `position` (from 0 in its file).
  virtual void TokenAt(int64_t position, EntryPosition entry, int hitTokens, uint32_t part) = 0;
  // After the file's last token; `tokens` is its token count.
  virtual void FileEnded(int64_t tokens) { (void)tokens; }

 private:
  void Deliver(bool all);
  struct Waiting {
    EntryPosition entry;
    uint32_t part;
  };
  const NodeSearch& search_;
  std::vector<Waiting> waiting_;  // tokens read and not yet delivered
  std::vector<EntryPosition> entries_;
  int64_t delivered_ = 0;
  uint32_t part_ = 0;
};

// ---- Collocates ------------------------------------------------------------------------

enum class CollocateMeasure { MI, T, LogDice, LL, Frequency };
// "mi", "t", "logdice", "ll", "frequency".
std::optional<CollocateMeasure> CollocateMeasureNamed(std::string_view name);

struct CollocateOptions {
  int left = 5;   // words to the left of a hit, 0 to kMostCollocateSpan
  int right = 5;  // and to its right; left + right > 0
  int64_t minimum = 3;  // the least O(c) listed, 1 or more
  CollocateMeasure sortBy = CollocateMeasure::LL;
};
inline constexpr int kMostCollocateSpan = 50;

struct CollocateRow {
  EntryPosition entry = 0;  // the collocate, a vocabulary entry
  int64_t left = 0;         // positions holding it in some hit's left window
  int64_t right = 0;        // and in some hit's right window
  int64_t observed = 0;     // O(c): positions holding it in any window, each once
  int64_t frequency = 0;    // f(c)
  double mi = kNoMeasure;
  double t = kNoMeasure;
  double logDice = kNoMeasure;
  double ll = kNoMeasure;
};

struct CollocateResult {
  int64_t nodeHits = 0;  // f(n)
  int64_t tokens = 0;    // N
  std::vector<CollocateRow> rows;  // listed and sorted
  bool stopped = false;
};

// The collocates of `search`: rows with O ≥ the minimum, sorted by the chosen measure
// descending (NaN last), ties by word in the project's order.
[[nodiscard]] Status Collocates(const Session& session, const NodeSearch& search, const CollocateOptions& options,
                                CollocateResult& result, ProgressSink* progress = nullptr);

// The measures of one collocate from its counts (exposed for tests and the manual's example).
void MeasureCollocate(int64_t observed, int64_t nodeHits, int64_t frequency, int64_t tokens, int span,
                      CollocateRow& row);

// The node hits (0-based, in text order over the project) that have `collocate` in their
// window, as a collocate's concordance shows them; `nodeHits`, when given, gets the number of
// all the node's hits.
[[nodiscard]] Status CollocateHits(const Session& session, const NodeSearch& search, const CollocateOptions& options,
                                   EntryPosition collocate, std::vector<int64_t>& hits,
                                   ProgressSink* progress = nullptr, int64_t* nodeHits = nullptr);

// The columns: rank word left right frequency collocate_frequency mi t logdice ll.
std::vector<TableColumn> CollocateColumns();
[[nodiscard]] Status ExportCollocates(const Session& session, const CollocateResult& result, TableFormat format,
                                      FileWriter& out);

// ---- N-grams and clusters ----------------------------------------------------------------

inline constexpr int kLeastGram = 1;
inline constexpr int kMostGram = 5;

enum class ClusterPosition { Left, Right, Any };
// "left", "right", "any".
std::optional<ClusterPosition> ClusterPositionNamed(std::string_view name);

struct NgramOptions {
  int minN = 2;  // 2 to 5 (clusters: 1 to 5, a 1-gram being the matched word), minN <= maxN
  int maxN = 3;
  int64_t minimum = 2;  // the least frequency listed, 1 or more
  size_t budgetBytes = size_t{256} << 20;  // counting memory before a run spills
};

// The n-grams listed: by frequency descending, then word by word in the project's order (a
// shorter n-gram before the longer ones it begins).
class NgramTable {
 public:
  size_t size() const { return frequency_.size(); }
  int n(size_t row) const { return static_cast<int>(lengths_[row]); }
  const EntryPosition* words(size_t row) const { return words_.data() + starts_[row]; }
  int64_t frequency(size_t row) const { return frequency_[row]; }
  int64_t range(size_t row) const { return range_[row]; }  // files holding it
  // Its words joined by single spaces.
  std::string Text(size_t row, const EntryList& vocabulary) const;

  void Add(const EntryPosition* words, int n, int64_t frequency, int64_t range);
  void Clear();
  // Puts row order[i] at row i (`order` holds each row once).
  void Reorder(const std::vector<size_t>& order);

 private:
  std::vector<EntryPosition> words_;
  std::vector<uint64_t> starts_;
  std::vector<uint8_t> lengths_;
  std::vector<int64_t> frequency_;
  std::vector<int64_t> range_;
};

struct NgramResult {
  NgramTable table;
  bool stopped = false;
};

// Every n-gram of minN..maxN tokens within a file, counted with its range within the budget
// (spilling sorted runs to the scratch files "~N1" and "~N2"). Fails on options out of range
// or when the scratch folder fails; stopped, with no rows, when `progress` asks.
[[nodiscard]] Status Ngrams(const Session& session, const NgramOptions& options, const ScratchFolder& scratch,
                            NgramResult& result, ProgressSink* progress = nullptr);
// The n-grams that hold a hit of `search` whole at `position`: starting at their first token
// (left), ending at their last (right), or anywhere in them (any). A cluster's frequency and
// range count only the places where it holds such a hit.
[[nodiscard]] Status Clusters(const Session& session, const NodeSearch& search, ClusterPosition position,
                              const NgramOptions& options, const ScratchFolder& scratch, NgramResult& result,
                              ProgressSink* progress = nullptr);

// The columns: rank ngram n frequency range.
std::vector<TableColumn> NgramColumns();
[[nodiscard]] Status ExportNgrams(const Session& session, const NgramTable& table, TableFormat format,
                                  FileWriter& out);

// ---- Dispersion ----------------------------------------------------------------------------

struct DispersionOptions {
  int letter = 0;  // 0: the parts are the files; 1 (A) to 26 (Z): that letter's values
  bool places = false;  // keep each hit's place in its part, for a plot
};

struct DispersionPart {
  std::string name;  // the file as the project lists it, or the letter's value ("" before any)
  int64_t tokens = 0;
  int64_t hits = 0;
  std::vector<float> places;  // per hit, tokens of the part before it / the part's tokens
};

struct DispersionResult {
  std::vector<DispersionPart> parts;  // those with tokens, in order of first appearance
  int64_t tokens = 0;  // N
  int64_t hits = 0;    // f
  int64_t range = 0;
  double dp = kNoMeasure;
  double dpNorm = kNoMeasure;
  double juillandD = kNoMeasure;
  bool stopped = false;
};

[[nodiscard]] Status Dispersion(const Session& session, const NodeSearch& search, const DispersionOptions& options,
                                DispersionResult& result, ProgressSink* progress = nullptr);
// Range, DP, DPnorm and Juilland's D from the parts' tokens and hits, parts with no tokens
// dropped first; N and f are set to the sums of the parts' tokens and hits.
void MeasureDispersion(DispersionResult& result);

// The columns: part tokens hits per_million range dp dp_norm juilland_d; one row a part, then
// the summary row "*" (with no hits, its four measures are all empty, the range too).
std::vector<TableColumn> DispersionColumns();
[[nodiscard]] Status ExportDispersion(const Session& session, const DispersionResult& result, TableFormat format,
                                     FileWriter& out);

// ---- Keyness -------------------------------------------------------------------------------

// A reference corpus as word frequencies, its words in the target's encoding and case.
struct ReferenceCorpus {
  std::unordered_map<std::string, int64_t> frequencies;
  int64_t tokens = 0;  // d
};

// Each Add adds to what the corpus holds, or fails and adds nothing.
// A project file's vocabulary, with its token count as d, read as the opener reads it (a
// Windows-1252 one brought into a UTF-8 target, and back; a word the target's encoding cannot
// write counts in d alone). Fails on a file that is not a project file or is damaged.
[[nodiscard]] Status AddReferenceProject(const Session& target, const std::string& path, ReferenceCorpus& reference);
// The words of text files scanned under the target's rules, on `threads` threads as a project's
// scan (0: as many as the machine has); fails on a text it cannot read.
[[nodiscard]] Status AddReferenceTexts(const Session& target, const std::vector<std::string>& files,
                                       const ScratchFolder& scratch, ReferenceCorpus& reference,
                                       ProgressSink* progress = nullptr, int threads = 0);
// A word list, "word<TAB>frequency" a line (LF, CR LF or CR), lines of spaces ignored, d the
// sum of the frequencies. Words are folded to lower case as the target's scan folds them, and
// equal words add up. A Windows-1252 target reads a list that is all valid UTF-8 with bytes
// beyond ASCII as UTF-8; otherwise bytes are the target's. Fails with "<path>: line N: <why>"
// on the first malformed line (no tab, an empty word, a frequency that is not a whole number
// of 0 or more, an overflow, invalid UTF-8 in a UTF-8 target).
[[nodiscard]] Status AddReferenceWordList(const Session& target, const std::string& path, ReferenceCorpus& reference);

// Adds each of `paths` by its kind: a project file (".wlm"), a word list (".tsv"), and the rest
// as text files, scanned together. Fails at the first that cannot be read, naming it.
[[nodiscard]] Status AddReferences(const Session& target, const std::vector<std::string>& paths,
                                   const ScratchFolder& scratch, ReferenceCorpus& reference,
                                   ProgressSink* progress = nullptr, int threads = 0);

struct KeynessOptions {
  int64_t minimum = 3;      // the least target frequency listed
  double threshold = 3.84;  // the least LL listed (6.63, 10.83, 15.13 are the usual others)
};

struct KeynessRow {
  EntryPosition entry = 0;
  int64_t frequency = 0;           // a
  int64_t referenceFrequency = 0;  // b
  double ll = kNoMeasure;
  double logRatio = kNoMeasure;
  bool positive = false;  // a/c > b/d
};

// The target's words of frequency a ≥ the minimum against `reference` (b = 0 for a word it
// lacks), those with LL ≥ the threshold: positive ones first, each group by LL descending, ties
// by word in the project's order. Fails when the reference or the target holds no tokens.
[[nodiscard]] Status Keyness(const Session& session, const ReferenceCorpus& reference, const KeynessOptions& options,
                             std::vector<KeynessRow>& rows);
// LL and log ratio of one word (exposed for tests and the manual's example).
void MeasureKeyness(int64_t a, int64_t b, int64_t c, int64_t d, KeynessRow& row);

// The columns: rank word frequency reference_frequency ll log_ratio direction.
std::vector<TableColumn> KeynessColumns();
[[nodiscard]] Status ExportKeyness(const Session& session, const std::vector<KeynessRow>& rows, TableFormat format,
                                   FileWriter& out);

}  // namespace wordloom
