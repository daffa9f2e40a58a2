// Plain, slow versions of the keyword pass and of the orderings, written step by step from
// their descriptions: a 250-slot ring read one character at a time, and the balanced two-way
// merge of runs (one-record runs for the citations, natural runs for the word lists). The fast
// engine must agree with them on every input.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "concordance/citation_record.h"
#include "concordance/citation_sort.h"
#include "concordance/gather.h"

namespace wordloom {

// Records compare and print field by field.
bool operator==(const CitationRecord& a, const CitationRecord& b);
void PrintTo(const CitationRecord& record, std::ostream* out);  // as Describe gives it

namespace test {

// Collects the finds of a pass.
struct CollectedFinds : CitationSink {
  std::vector<CitationRecord> records;
  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
           std::string_view rightContext) override {
    records.push_back(CitationRecord{keyNumber, sequence, std::string(citation), std::string(leftContext),
                                     std::string(rightContext)});
  }
};

std::string Describe(const CitationRecord& record);

Status ReferenceKwic(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                     const GatherQuery& query, CitationSink& sink, ProgressSink* progress = nullptr);

std::vector<CitationRecord> ReferenceSort(const std::vector<CitationRecord>& records, CitationOrder order,
                                          const CollationView& view);

// The balanced two-way merge of two files of runs, done plainly: the i-th runs of the files are
// merged (the second file's item first unless `before` puts the first file's first) into the
// two outputs in turn, the rest of the longer file going to the second output, runs kept apart,
// until one of the files is used up.
template <typename T, typename Before>
std::vector<T> MergeRuns(std::vector<std::vector<T>> first, std::vector<std::vector<T>> second, Before before) {
  while (!first.empty() && !second.empty()) {
    std::vector<std::vector<T>> out[2];
    size_t i = 0;
    for (int current = 0; i < first.size() && i < second.size(); ++i, current = 1 - current) {
      const std::vector<T>& a = first[i];
      const std::vector<T>& b = second[i];
      std::vector<T> merged;
      size_t x = 0, y = 0;
      while (x < a.size() && y < b.size()) merged.push_back(before(a[x], b[y]) ? a[x++] : b[y++]);
      merged.insert(merged.end(), a.begin() + static_cast<std::ptrdiff_t>(x), a.end());
      merged.insert(merged.end(), b.begin() + static_cast<std::ptrdiff_t>(y), b.end());
      out[current].push_back(std::move(merged));
    }
    const std::vector<std::vector<T>>& rest = i < first.size() ? first : second;
    out[1].insert(out[1].end(), rest.begin() + static_cast<std::ptrdiff_t>(i), rest.end());
    first = std::move(out[0]);
    second = std::move(out[1]);
  }
  if (!first.empty()) return first.front();
  return second.empty() ? std::vector<T>{} : second.front();
}

}  // namespace test
}  // namespace wordloom
