// Exporting hit tables, and the reference values at a place in a text.
#include <algorithm>
#include <string>
#include <tuple>

#include "base/line_source.h"
#include "concordance/citation.h"
#include "hits/hit_store_builder.h"
#include "scan/text_reader.h"

namespace wordloom {

std::vector<TableColumn> HitColumns() {
  return {{"file"}, {"line", true}, {"citation"}, {"left"}, {"key"}, {"right"}, {"offset", true}};
}

Status ExportHits(const HitStore& store, const std::vector<int64_t>& rows, const ContextWindow& window,
                  TableFormat format, FileWriter& out, ProgressSink* progress) {
  // Rows go out in their order, a block at a time; within a block their contexts are read in
  // the order of the texts, so each stretch of a text is read once.
  constexpr size_t kBlock = 8192;
  TableWriter table(out, format, HitColumns(), !store.utf8());
  std::vector<HitContext> contexts;
  std::vector<std::tuple<int32_t, int64_t, size_t>> byText;  // file, offset, index in the block
  TextCache cache;
  std::string line, offset;
  for (size_t first = 0; first < rows.size(); first += kBlock) {
    if (progress) {
      if (progress->StopRequested()) break;
      progress->Progress(static_cast<int64_t>(first), static_cast<int64_t>(rows.size()));
    }
    const size_t count = std::min(kBlock, rows.size() - first);
    contexts.resize(count);
    byText.clear();
    for (size_t i = 0; i < count; ++i) byText.emplace_back(store.FileNumber(rows[first + i]), store.Offset(rows[first + i]), i);
    std::sort(byText.begin(), byText.end());
    for (const auto& [file, at, i] : byText) {
      const int64_t row = rows[first + i];
      Status status = store.Context(row, window, contexts[i], &cache);
      if (!status.ok()) return Status::Error(store.files()[static_cast<size_t>(store.FileNumber(row))] + ": " + status.message());
    }
    for (size_t i = 0; i < count; ++i) {
      const int64_t row = rows[first + i];
      const HitContext& context = contexts[i];
      line = std::to_string(store.FileLine(row));
      offset = std::to_string(store.Offset(row));
      table.Row({store.files()[static_cast<size_t>(store.FileNumber(row))], line, store.Citation(row), context.left,
                 context.key, context.right, offset});
    }
  }
  if (progress) progress->Progress(static_cast<int64_t>(rows.size()), static_cast<int64_t>(rows.size()));
  return out.error();
}

Status HitStore::ReferenceValuesAt(int32_t file, int64_t offset,
                                   std::array<std::string, kLetterCount + 1>& values) const {
  LineSource source;
  Status opened = source.Open(files_.at(static_cast<size_t>(file)));
  if (!opened.ok()) return opened;
  ScanContext context = reader_;
  const FileStart& start = fileStarts_.at(static_cast<size_t>(file));
  context.references.ReferenceLetterValue = start.values;
  ScanState& s = context.state;
  s.currentLineNumber = start.line;
  s.trackOrigins = true;
  // The values in force are those read with the line that holds the offset; the line number
  // is its line's, with the end-of-line characters before the offset counted, as for a hit.
  values = context.references.ReferenceLetterValue;
  int64_t line = start.line;
  CharacterRun run;
  while (ReadCharacterRun(context, source, ReaderMode::Concordance, run)) {
    if (run.emptyLine) continue;
    if (s.physicalLineOffset > offset) break;
    values = context.references.ReferenceLetterValue;
    // The run's bytes that stand before the offset (the origins grow with the position).
    size_t before = 0, after = run.text.size();
    while (before < after) {
      const size_t middle = (before + after) / 2;
      if (s.origins.FileOffset(middle) < offset) {
        before = middle + 1;
      } else {
        after = middle;
      }
    }
    const size_t counted = std::min(before, run.insideLength);
    line = run.firstLineNumber;
    if (s.endOfLineChar >= 0) line += std::count(run.text.begin(), run.text.begin() + static_cast<std::ptrdiff_t>(counted),
                                                 static_cast<char>(s.endOfLineChar));
  }
  values[static_cast<size_t>(kLineLetter)] = std::to_string(line);
  return source.error();
}

}  // namespace wordloom
