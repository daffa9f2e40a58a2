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
  constexpr size_t kBlock = 65536;
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

ReferenceReader::ReferenceReader(std::shared_ptr<const HitStore> store, int32_t file)
    : store_(std::move(store)), file_(file) {}

Status ReferenceReader::Restart() {
  Status opened = source_.Open(store_->files_.at(static_cast<size_t>(file_)));
  if (!opened.ok()) return opened;
  ScanContext& context = context_.emplace(store_->reader_);
  const HitStore::FileStart& start = store_->fileStarts_.at(static_cast<size_t>(file_));
  context.references.ReferenceLetterValue = start.values;
  context.state.currentLineNumber = start.line;
  context.state.trackOrigins = true;
  current_ = Line{};
  current_.values = start.values;
  current_.firstLineNumber = start.line;
  atEnd_ = !ReadLine(next_);
  return Status::Ok();
}

bool ReferenceReader::ReadLine(Line& line) {
  ScanContext& context = *context_;
  const ScanState& s = context.state;
  CharacterRun run;
  do {
    if (!ReadCharacterRun(context, source_, ReaderMode::Concordance, run)) return false;
  } while (run.emptyLine);
  line.offset = s.physicalLineOffset;
  line.values = context.references.ReferenceLetterValue;
  line.firstLineNumber = run.firstLineNumber;
  line.text.assign(run.text);
  line.insideLength = run.insideLength;
  line.origins = s.origins;
  return true;
}

Status ReferenceReader::ValuesAt(int64_t offset, std::array<std::string, kLetterCount + 1>& values) {
  if (!context_ || (current_.offset >= 0 && offset < current_.offset)) {
    Status restarted = Restart();
    if (!restarted.ok()) return restarted;
  }
  while (!atEnd_ && next_.offset <= offset) {
    std::swap(current_, next_);
    atEnd_ = !ReadLine(next_);
  }
  values = current_.values;
  // The line's bytes that stand before the offset (the origins grow with the position), and
  // the end-of-line characters among them, as a hit there counts them.
  size_t before = 0, after = current_.text.size();
  while (before < after) {
    const size_t middle = (before + after) / 2;
    if (current_.origins.FileOffset(middle) < offset) {
      before = middle + 1;
    } else {
      after = middle;
    }
  }
  int64_t line = current_.firstLineNumber;
  const int marker = context_->state.endOfLineChar;
  if (marker >= 0 && current_.offset >= 0) {
    const auto counted = static_cast<std::ptrdiff_t>(std::min(before, current_.insideLength));
    line += std::count(current_.text.begin(), current_.text.begin() + counted, static_cast<char>(marker));
  }
  values[static_cast<size_t>(kLineLetter)] = std::to_string(line);
  return source_.error();
}

}  // namespace wordloom
