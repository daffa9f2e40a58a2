// Plain, slow versions of the keyword pass and of the citation ordering, written step by step
// from their descriptions: a 250-slot ring read one character at a time, and the balanced
// two-way merge of one-record runs. The fast engine must agree with them on every input.
#pragma once

#include <string>
#include <vector>

#include "concordance/citation_record.h"
#include "concordance/citation_sort.h"
#include "concordance/gather.h"

namespace wordloom::test {

// Collects the finds of a pass.
struct CollectedFinds : CitationSink {
  std::vector<CitationRecord> records;
  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
           std::string_view rightContext) override {
    records.push_back(CitationRecord{keyNumber, sequence, std::string(citation), std::string(leftContext),
                                     std::string(rightContext)});
  }
};

bool operator==(const CitationRecord& a, const CitationRecord& b);
std::string Describe(const CitationRecord& record);

Status ReferenceKwic(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                     const GatherQuery& query, CitationSink& sink, ProgressSink* progress = nullptr);

std::vector<CitationRecord> ReferenceSort(const std::vector<CitationRecord>& records, CitationOrder order,
                                          const CollationView& view);

}  // namespace wordloom::test
