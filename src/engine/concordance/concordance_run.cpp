#include "concordance/concordance_run.h"

#include <optional>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/cp1252.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "concordance/indexed_texts.h"
#include "concordance/kwic_unicode.h"
#include "concordance/threaded_sink.h"
#include "concordance/writers.h"
#include "scan/error_report.h"
#include "scan/list_sort.h"
#include "scan/status_texts.h"
#include "unicode/unicode_text.h"

namespace wordloom {

bool ParseContextWidth(const std::string& text, int& width) {
  double number = 0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [stop, error] = std::from_chars(begin, end, number);
  if (error == std::errc::result_out_of_range && stop == end) {
    // Too large or too small for a double: strtod gives the infinity or the zero it stands for.
    number = std::strtod(std::string(begin, end).c_str(), nullptr);
  } else if (text.empty() || error != std::errc() || stop != end || !std::isfinite(number)) {
    return false;
  }
  number = std::nearbyint(number);
  width = number < 10 ? 10 : (number > 240 ? 240 : static_cast<int>(number));
  return true;
}

std::vector<std::string> SplitKeys(const std::string& pattern, const UnicodeText* unicode) {
  std::vector<std::string> keys;
  std::string lowered = unicode ? unicode->FoldKey(pattern) : Lower1252(pattern);
  size_t at = 0;
  while ((at = lowered.find_first_not_of(' ', at)) != std::string::npos) {
    size_t end = lowered.find(' ', at);
    if (end == std::string::npos) end = lowered.size();
    keys.push_back(lowered.substr(at, end - at));
    at = end;
  }
  return keys;
}

namespace {

// Reads every file of the project into `sink`, as the run's passes do.
void GatherAll(const Session& session, ScanContext& context, ConcordanceKind kind, const GatherQuery& gather,
               CitationSink& sink, ProgressSink* progress) {
  ScanState& state = context.state;
  ScanRules rules = session.project.rules;
  if (kind == ConcordanceKind::Kwic && rules.endOfLine.empty()) rules.endOfLine.assign(1, ' ');
  state.currentLineNumber = 0;
  state.physicalLineTotal = 0;
  state.logicalLineTotal = 0;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    context.references.ReferenceLetterValue[static_cast<size_t>(letter)] = session.referenceLetters.Value(letter);
  }
  // A UTF-8 line is matched with its non-word characters masked, and so are the keys.
  std::vector<std::string> maskedKeys;
  if (kind == ConcordanceKind::Line && session.tables.unicode) {
    for (const std::string& key : gather.keys) maskedKeys.push_back(session.tables.unicode->MatchingText(key));
  }
  KeyTable keyTable(gather.kind, maskedKeys.empty() ? gather.keys : maskedKeys);
  GatherQuery query = gather;
  query.keyTable = &keyTable;
  // The words the keyword pass would take as finds, matched as it matches them.
  WordCharTable isWord{};
  for (int c = 0; c < 256; ++c) {
    isWord[static_cast<size_t>(c)] =
        session.tables.CharClassTable[ToLower1252(static_cast<unsigned char>(c))] % 10 == kWordClass;
  }
  std::vector<size_t> found;
  std::optional<IndexedTexts> indexed;
  if (kind == ConcordanceKind::Kwic) {
    const int64_t lookBack = session.tables.unicode && gather.keepContexts ? UnicodeKwicLookBack(gather) : 0;
    indexed.emplace(
        session, IndexedTexts::Pass::Keywords,
        [&](std::string_view word) {
          keyTable.Match(word, isWord, found);
          return !found.empty();
        },
        0, lookBack);
  } else if (const auto mayFind = LineCandidates(session, gather.kind, gather.keys)) {
    indexed.emplace(session, IndexedTexts::Pass::Lines, mayFind);
  }
  const std::vector<std::string>& files = session.project.Files;
  for (size_t i = 0; i < files.size(); ++i) {
    if (progress && progress->StopRequested()) break;
    if (progress) progress->Progress(static_cast<int64_t>(i), static_cast<int64_t>(files.size()));
    // The last line of a file counts one numbered line too many.
    if (i > 0) --state.currentLineNumber;
    const auto whole = [&] {
      return kind == ConcordanceKind::Line ? GatherLine(context, rules, session.tables, files[i], query, sink, progress)
                                           : GatherKwic(context, rules, session.tables, files[i], query, sink, progress);
    };
    const auto stretch = [&](LineSource& text, const TextStretch& part, bool& further) {
      return kind == ConcordanceKind::Line
                 ? GatherLineStretch(context, rules, session.tables, text, files[i], query, sink, part, progress)
                 : GatherKwicStretch(context, rules, session.tables, text, files[i], query, sink, part, progress,
                                     &further);
    };
    Status read = indexed && indexed->serves() ? indexed->Gather(i, context, progress, whole, stretch) : whole();
    if (!read.ok()) ReportUnreadableFile(context, files[i], read.message());
  }
  if (progress) progress->Progress(static_cast<int64_t>(files.size()), static_cast<int64_t>(files.size()));
}

}  // namespace

Status RunConcordance(const Session& session, const ConcordanceQuery& query, const ScratchFolder& scratch,
                      ConcordanceResult& result, const ConcordanceOptions& options) {
  result = ConcordanceResult{};
  GatherQuery gather;
  gather.letters = ParseCitationLetters(query.citationLetters);
  if (query.keys.empty() && !query.keyWords) return Status::Ok();
  if (query.keyWords) {
    EntryView& keyWords = result.keyWordsList.emplace(session.lists.KeyWordsList);
    SortEntryView(session.lists.Vocabulary, keyWords, query.keyWordsOrder, query.keyWordsRhyme ? 1 : 0,
                  session.tables);
    gather.keys.reserve(keyWords.size());
    for (size_t i = 0; i < keyWords.size(); ++i) gather.keys.push_back(session.lists.At(keyWords, i).word);
  } else {
    gather.keys = SplitKeys(query.keys, session.tables.unicode.get());
    gather.kind = query.match;
  }
  if (session.project.Files.empty()) return Status::Ok();

  gather.keepContexts = !query.index;
  gather.halfWidth = std::clamp(query.contextWidth, 10, 240) / 2;
  gather.lineNumberWidth = LineNumberWidth(session.scan.state.physicalLineTotal);

  const bool kwic = query.kind == ConcordanceKind::Kwic;
  CitationSorter sorter(scratch, kwic ? "1" : "11", query.order, session.tables, options.sort);
  ScanContext& context = result.scan.emplace(session.scan.PassCopy());
  {
    // The citations are ordered on a second thread while the texts are read.
    ThreadedSink ordering(sorter);
    GatherAll(session, context, query.kind, gather, ordering, options.progress);
    ordering.Finish();
  }
  result.stopped = options.progress && options.progress->StopRequested();

  Status status = sorter.Finish();
  FileWriter out;
  if (status.ok()) status = scratch.OpenForWrite("0", out);
  if (status.ok()) {
    int64_t written = query.index ? WriteIndex(sorter, gather.keys, out, session.tables.unicode != nullptr) : (WriteConcordance(sorter, gather.keys, out), sorter.count());
    status = sorter.error();
    Status closed = out.Close();
    if (status.ok()) status = closed;
    result.citationCount = written;
  }
  sorter.RemoveScratchFiles();
  if (!status.ok()) return status;
  result.wrote = true;
  result.keyCount = static_cast<int64_t>(gather.keys.size());
  result.countsText = RunCountsText(result.keyCount, result.citationCount, query.keyWords, query.index);
  result.outputPath = scratch.PathOf("0");
  return Status::Ok();
}

void CommitConcordance(Session& session, ConcordanceResult& result) {
  if (result.keyWordsList) session.lists.KeyWordsList = std::move(*result.keyWordsList);
  if (result.scan) session.scan.Commit(std::move(*result.scan));
  result.keyWordsList.reset();
  result.scan.reset();
}

}  // namespace wordloom
