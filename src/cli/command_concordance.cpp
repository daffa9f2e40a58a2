#include "cli/command.h"
#include "concordance/concordance_run.h"

namespace wordloom::cli {

int RunConcordanceCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status loaded = LoadSource(args, scratch, session, output);
  if (!loaded.ok()) return Fail(output, loaded);
  const QueryOptions& options = args.query;
  ConcordanceQuery query;
  query.kind = args.command == "line" ? ConcordanceKind::Line : ConcordanceKind::Kwic;
  query.keys = options.keys.value_or("");
  query.match = options.match;
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
