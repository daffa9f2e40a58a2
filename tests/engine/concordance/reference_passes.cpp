#include "reference_passes.h"

#include <array>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "scan/text_reader.h"

namespace wordloom {

bool operator==(const CitationRecord& a, const CitationRecord& b) {
  return a.keyNumber == b.keyNumber && a.sequence == b.sequence && a.citation == b.citation &&
         a.leftContext == b.leftContext && a.rightContext == b.rightContext;
}

void PrintTo(const CitationRecord& record, std::ostream* out) { *out << test::Describe(record); }

namespace test {

std::string Describe(const CitationRecord& record) {
  return std::to_string(record.keyNumber) + " #" + std::to_string(record.sequence) + " [" + record.citation + "] [" +
         record.leftContext + "|" + record.rightContext + "]";
}

Status ReferenceKwic(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                     const GatherQuery& query, CitationSink& sink, ProgressSink* progress) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) return opened;
  const std::string padding(250, ' ');
  context.references.contextPadding = padding;
  BeginPass(context, rules, tables, padding);
  BeginFile(context, path);
  ScanState& s = context.state;
  WordCharTable isWord;
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;

  struct Slot {
    char c = ' ';
    int64_t lineTotal = 0;
    std::string citation;
  };
  std::array<Slot, 251> ring;  // slots 1 to 250
  auto record = [&](Slot& slot) {
    slot.lineTotal = s.logicalLineTotal;
    slot.citation.clear();
    BuildCitation(query.letters, s.currentLineNumber, query.lineNumberWidth, context.references.ReferenceLetterValue,
                  slot.citation);
  };
  auto read = [&](int at) {
    int c = NextContextChar(context, file, progress);
    if (c != kNoChar) ring[static_cast<size_t>(at)].c = static_cast<char>(c);
    record(ring[static_cast<size_t>(at)]);
  };
  auto next = [](int at) { return at == 250 ? 1 : at + 1; };
  auto word = [&](int at) { return isWord[static_cast<unsigned char>(ring[static_cast<size_t>(at)].c)]; };

  for (int i = 1; i <= 250; ++i) record(ring[static_cast<size_t>(i)]);
  int write = 125;
  int examine = 125;
  for (int i = 0; i < 125; ++i, ++write) read(write);
  while (!(file.AtEnd() && s.linePosition > s.lineLength) && !(progress && progress->StopRequested())) {
    read(write);
    const int p = examine;
    if (word(p) && !word(p == 1 ? 250 : p - 1)) {
      std::string text;
      for (int at = p, n = 0; n < 250 && word(at); at = next(at), ++n) {
        text += static_cast<char>(ToLower1252(static_cast<unsigned char>(ring[static_cast<size_t>(at)].c)));
      }
      for (size_t n = 0; n < query.keys.size(); ++n) {
        if (!MatchKey(query.kind, query.keys[n], text, isWord)) continue;
        std::string left, right;
        if (query.keepContexts) {
          int at = static_cast<int>(p - query.halfWidth);
          if (at < 1) at += 250;
          for (int64_t i = 0; i < query.halfWidth; ++i, at = next(at)) left += ring[static_cast<size_t>(at)].c;
          for (int64_t i = 0; i <= query.halfWidth; ++i, at = next(at)) right += ring[static_cast<size_t>(at)].c;
        }
        const Slot& slot = ring[static_cast<size_t>(p)];
        sink.Add(static_cast<int64_t>(n + 1), slot.lineTotal, slot.citation, left, right);
      }
    }
    write = next(write);
    examine = next(examine);
  }
  return file.error();
}

std::vector<CitationRecord> ReferenceSort(const std::vector<CitationRecord>& records, CitationOrder order,
                                          const CollationView& view) {
  std::vector<std::vector<CitationRecord>> first, second;  // one-record runs dealt to the files in turn
  for (size_t i = 0; i < records.size(); ++i) (i % 2 == 0 ? first : second).push_back({records[i]});
  return MergeRuns(std::move(first), std::move(second),
                   [&](const CitationRecord& a, const CitationRecord& b) { return CitationBefore(a, b, order, view); });
}

}  // namespace test
}  // namespace wordloom
