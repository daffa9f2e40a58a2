// collocates, ngrams, clusters, dispersion and keyness: the analyses as tables of data.
#include "analysis/analysis.h"
#include "cli/command.h"

namespace wordloom::cli {
namespace {

NgramOptions MakeNgramOptions(const Arguments& args) {
  NgramOptions options;
  options.minN = args.analysis.minN;
  options.maxN = args.analysis.maxN;
  options.minimum = args.analysis.minimum.value_or(options.minimum);
  return options;
}

std::string Counted(size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

int RunNgramTable(const Arguments& args, const Session& session, const ScratchFolder& scratch, Output& output,
                  bool clusters) {
  NgramResult result;
  Status status;
  if (clusters) {
    std::unique_ptr<NodeSearch> search;
    status = MakeSearch(args, session, search);
    if (!status.ok()) return Fail(output, status);
    status = Clusters(session, *search, *ClusterPositionNamed(args.analysis.position), MakeNgramOptions(args),
                      scratch, result);
  } else {
    status = Ngrams(session, MakeNgramOptions(args), scratch, result);
  }
  if (!status.ok()) return Fail(output, status);
  return WriteTableFile(scratch, output, Counted(result.table.size(), clusters ? "cluster" : "n-gram",
                                                 clusters ? "clusters" : "n-grams"),
                        [&](FileWriter& out) { return ExportNgrams(session, result.table, args.query.format, out); });
}

}  // namespace

Status MakeSearch(const Arguments& args, const Session& session, std::unique_ptr<NodeSearch>& search) {
  return NodeSearch::Make(session, SearchQuery(args), search);
}

HitQuery SearchQuery(const Arguments& args) {
  HitQuery query;
  query.keys = args.query.keys.value_or("");
  query.mode = args.query.search.value_or(SearchMode::Word);
  return query;
}

int RunCollocatesCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  std::unique_ptr<NodeSearch> search;
  if (status.ok()) status = MakeSearch(args, session, search);
  if (!status.ok()) return Fail(output, status);
  CollocateOptions options;
  options.left = args.analysis.left;
  options.right = args.analysis.right;
  options.minimum = args.analysis.minimum.value_or(options.minimum);
  options.sortBy = *CollocateMeasureNamed(args.analysis.sortBy);
  CollocateResult result;
  status = Collocates(session, *search, options, result);
  if (!status.ok()) return Fail(output, status);
  return WriteTableFile(scratch, output,
                        Counted(result.rows.size(), "collocate", "collocates") + " of " +
                            Counted(static_cast<size_t>(result.nodeHits), "hit", "hits"),
                        [&](FileWriter& out) { return ExportCollocates(session, result, args.query.format, out); });
}

int RunNgramsCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  return RunNgramTable(args, session, scratch, output, args.command == "clusters");
}

int RunDispersionCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  std::unique_ptr<NodeSearch> search;
  if (status.ok()) status = MakeSearch(args, session, search);
  if (!status.ok()) return Fail(output, status);
  DispersionOptions options;
  options.letter = args.analysis.letter;
  DispersionResult result;
  status = Dispersion(session, *search, options, result);
  if (!status.ok()) return Fail(output, status);
  return WriteTableFile(scratch, output,
                        Counted(static_cast<size_t>(result.hits), "hit", "hits") + " in " +
                            Counted(result.parts.size(), "part", "parts"),
                        [&](FileWriter& out) { return ExportDispersion(session, result, args.query.format, out); });
}

int RunKeynessCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  ReferenceCorpus reference;
  status = AddReferences(session, args.analysis.references, scratch, reference, nullptr, args.threads);
  if (!status.ok()) return Fail(output, status);
  KeynessOptions options;
  options.minimum = args.analysis.minimum.value_or(options.minimum);
  options.threshold = args.analysis.threshold;
  std::vector<KeynessRow> rows;
  status = Keyness(session, reference, options, rows);
  if (!status.ok()) return Fail(output, status);
  const auto positive = static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [](const KeynessRow& row) { return row.positive; }));
  return WriteTableFile(scratch, output,
                        Counted(rows.size(), "key word", "key words") + " (" + std::to_string(positive) +
                            " positive, " + std::to_string(rows.size() - positive) + " negative)",
                        [&](FileWriter& out) { return ExportKeyness(session, rows, args.query.format, out); });
}

}  // namespace wordloom::cli
