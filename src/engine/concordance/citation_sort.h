// Ordering the citation records of a concordance run.
//
// Records are grouped by key number, and within a key kept as they occur, or ordered by the
// word characters of their left context (read backwards) or of their right context, in the
// alphabet's collating order, case-blind; records that the order finds equal keep the order
// in which they were gathered. CitationBefore is the comparison itself; CitationSorter sorts
// any number of records within a memory budget: each budget's worth is sorted in memory and,
// when there is more than one, spilled as a sorted run to the run's scratch file ("~A1", or
// "~A11" for whole lines) and merged from there. Memory: the budget plus a read buffer per run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "concordance/citation_record.h"
#include "scan/scan_rules.h"

namespace wordloom {

enum class CitationOrder { AsItOccurs = 1, LeftContext = 2, RightContext = 3 };

// The collating values and word classes of the lower-cased characters, as the orders use them.
struct CollationView {
  explicit CollationView(const CharTables& tables);
  std::array<bool, 256> isWord{};
  std::array<int16_t, 256> collation{};
  const UnicodeText* unicode = nullptr;  // a UTF-8 project's contexts are keyed by its collation
};

// True when `a` may be written before `b` in the order.
bool CitationBefore(const CitationRecord& a, const CitationRecord& b, CitationOrder order, const CollationView& view);

struct CitationSortOptions {
  size_t budgetBytes = 32u << 20;
};

class CitationSorter : public CitationSink, public CitationSource {
 public:
  // `family` names the scratch files: "1" for keyword-in-context runs, "11" for whole lines.
  CitationSorter(const ScratchFolder& scratch, std::string family, CitationOrder order, const CharTables& tables,
                 const CitationSortOptions& options = {});
  ~CitationSorter() override;
  CitationSorter(const CitationSorter&) = delete;
  CitationSorter& operator=(const CitationSorter&) = delete;

  // Adds the next record in gathering order.
  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
           std::string_view rightContext) override;
  int64_t count() const { return count_; }

  // Sorts what was added; Next then hands out the records in order.
  [[nodiscard]] Status Finish();
  // False after the last record (or on a read error, which error() then reports).
  bool Next(CitationRecord& record) override;
  const Status& error() const { return error_; }

  // Deletes the four scratch files of the family.
  void RemoveScratchFiles() const;

 private:
  struct Item {
    uint64_t prefix;  // the sort key's bytes 4 to 11, high byte first, zero-padded
    uint64_t more;    // its bytes 12 to 19 likewise: a key's own letters often fill the first
    uint64_t offset;  // of the item's blob in the arena
    uint32_t keyLength;
    uint32_t size;    // of the whole blob
    uint32_t head;    // the sort key's first four bytes (the key number)
    bool flag;
  };
  class RunCursor;
  class Merger;

  void AppendKey(int64_t keyNumber, std::string_view leftContext, std::string_view rightContext, bool& flag);
  void SortChunk();
  void SpillChunk();
  Status ReduceRuns();

  const ScratchFolder& scratch_;
  std::string family_;
  CitationOrder order_;
  CollationView view_;
  CitationSortOptions options_;
  int64_t count_ = 0;
  Status error_;

  std::string arena_;            // blobs of the chunk being gathered
  std::vector<Item> items_;
  size_t nextItem_ = 0;          // the in-memory result's next item

  std::string runFile_;          // the scratch file holding the spilled runs
  std::vector<std::pair<uint64_t, uint64_t>> runs_;  // offset and length of each run
  FileWriter runWriter_;
  uint64_t runBytes_ = 0;
  int runFd_ = -1;
  std::unique_ptr<Merger> merger_;  // set when the result comes from spilled runs
};

}  // namespace wordloom
