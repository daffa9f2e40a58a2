#include "cli/command.h"
#include "concordance/concordance_run.h"
#include "concordance/writers.h"
#include "hits/hits.h"
#include "unicode/unicode_text.h"

namespace wordloom::cli {
namespace {

// The search mode of the options: --search, else --match's kind.
SearchMode ModeOf(const QueryOptions& options) {
  if (options.search) return *options.search;
  return static_cast<SearchMode>(static_cast<int>(options.match) - 1);
}

bool IsPatternSearch(SearchMode mode) {
  return mode == SearchMode::Wildcard || mode == SearchMode::Regex || mode == SearchMode::Phrase;
}

// The hits in the layout of a concordance: each context filled out to its width, as the
// keyword pass gives it.
class HitCitations : public CitationSource {
 public:
  HitCitations(const HitStore& store, const std::vector<int64_t>& rows, int halfWidth)
      : store_(store), rows_(rows), halfWidth_(halfWidth) {}
  bool Next(CitationRecord& record) override {
    if (next_ >= rows_.size()) return false;
    const int64_t row = rows_[next_++];
    store_.Read(row, hit_);
    record.keyNumber = hit_.key;
    record.sequence = hit_.sequence;
    record.citation = hit_.citation;
    if (store_.kind() == ConcordanceKind::Line) {
      record.leftContext = hit_.text;
      record.rightContext.clear();
      return true;
    }
    status_ = store_.Context(row, ContextWindow{ContextUnit::Characters, halfWidth_ + 1}, context_);
    record.leftContext = Fill(context_.left, halfWidth_, true);
    record.rightContext = Fill(context_.key + context_.right, halfWidth_ + 1, false);
    return status_.ok();
  }
  const Status& status() const { return status_; }

 private:
  // `text` cut or filled with spaces to `columns`, keeping its end (`keepEnd`) or its start.
  std::string Fill(std::string_view text, int64_t columns, bool keepEnd) const {
    const bool utf8 = store_.utf8();
    if (keepEnd) {
      while (Columns(text, utf8) > columns) text.remove_prefix(utf8 ? ClusterEnd(text, 0) : 1);
    } else {
      size_t at = 0;
      int64_t width = 0;
      while (at < text.size()) {
        const size_t end = utf8 ? ClusterEnd(text, at) : at + 1;
        const int64_t w = Columns(text.substr(at, end - at), utf8);
        if (width + w > columns) break;
        width += w;
        at = end;
      }
      text = text.substr(0, at);
    }
    const std::string padding(static_cast<size_t>(columns - Columns(text, utf8)), ' ');
    return keepEnd ? padding + std::string(text) : std::string(text) + padding;
  }

  const HitStore& store_;
  const std::vector<int64_t>& rows_;
  int halfWidth_;
  size_t next_ = 0;
  Hit hit_;
  HitContext context_;
  Status status_;
};

int RunHitTable(const Arguments& args, Session& session, const ScratchFolder& scratch, Output& output) {
  const QueryOptions& options = args.query;
  HitQuery query;
  query.kind = args.command == "line" ? ConcordanceKind::Line : ConcordanceKind::Kwic;
  query.keys = options.keys.value_or("");
  query.mode = ModeOf(options);
  query.keyWords = options.keyWords;
  query.keyWordsOrder = options.wordListOrder;
  query.keyWordsRhyme = options.rhyme;
  query.citationLetters = options.cite;

  HitRunResult result;
  Status status = GatherHits(session, query, scratch, result);
  if (result.scan) output.err += result.scan->ErrorReportText;
  if (!status.ok()) return Fail(output, status);
  if (!result.store) {
    output.err += "\n";
    return 0;
  }
  const HitStore& store = *result.store;
  std::vector<SortLevel> levels = options.sort;
  // The run's order, where no levels are given: by key, then the words of the chosen context.
  const bool byContext = levels.empty() && options.order != CitationOrder::AsItOccurs;
  if (byContext) {
    const bool right = options.order == CitationOrder::RightContext;
    for (int k = 1; k <= kSortWords; ++k) {
      levels.push_back(SortLevel{static_cast<SortField>(right ? kSortWords + k : k), false});
    }
  }
  std::vector<int64_t> rows;
  ArrangeHits(store, session.tables, options.thinning, levels, rows, nullptr, byContext);
  FileWriter out;
  status = scratch.OpenForWrite("T", out);
  if (!status.ok()) return Fail(output, status);
  if (options.format == TableFormat::Text) {
    HitCitations citations(store, rows, args.context / 2);
    WriteConcordance(citations, store.keys(), out);
    status = citations.status();
  } else {
    ContextWindow window{ContextUnit::Characters, args.context / 2};
    if (options.contextWords) window = ContextWindow{ContextUnit::Words, *options.contextWords};
    status = ExportHits(store, rows, window, options.format, out);
  }
  Status closed = out.Close();
  if (status.ok()) status = closed;
  if (!status.ok()) return Fail(output, status);
  output.outFile = scratch.PathOf("T");
  output.err += result.countsText + "\n";
  return 0;
}

}  // namespace

int RunConcordanceCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status loaded = LoadSource(args, scratch, session, output);
  if (!loaded.ok()) return Fail(output, loaded);
  const QueryOptions& options = args.query;
  if (options.format != TableFormat::Text || IsPatternSearch(ModeOf(options))) {
    return RunHitTable(args, session, scratch, output);
  }
  ConcordanceQuery query;
  query.kind = args.command == "line" ? ConcordanceKind::Line : ConcordanceKind::Kwic;
  query.keys = options.keys.value_or("");
  query.match = static_cast<MatchKind>(static_cast<int>(ModeOf(options)) + 1);
  query.keyWords = options.keyWords;
  query.keyWordsOrder = options.wordListOrder;
  query.keyWordsRhyme = options.rhyme;
  query.index = options.index;
  query.order = options.order;
  query.citationLetters = options.cite;
  query.contextWidth = args.context;

  ConcordanceResult result;
  Status status = RunConcordance(session, query, scratch, result);
  // The scan's entries of the Error Report are out already; the run's follow them.
  if (result.scan) output.err += result.scan->ErrorReportText;
  if (!status.ok()) return Fail(output, status);
  if (result.wrote) output.outFile = result.outputPath;
  output.err += result.countsText + "\n";
  return 0;
}

}  // namespace wordloom::cli
