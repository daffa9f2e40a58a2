#include "cli/command.h"
#include "lists/profile.h"
#include "lists/word_list.h"
#include "lists/word_table.h"

namespace wordloom::cli {
namespace {

// The word list as a table of data; the layout and the frequencies option do not apply.
int RunWordTable(const Arguments& args, const Session& session, const ScratchFolder& scratch, Output& output) {
  WordTableQuery query;
  query.keyWords = args.query.keyWords;
  query.order = args.query.wordListOrder;
  query.rhyme = args.query.rhyme;
  WordTable table;
  (void)MakeWordTable(session, query, table);  // nothing asks it to stop
  return WriteTableFile(scratch, output, WordTableCountText(table, session.lists.Vocabulary.size()),
                        [&](FileWriter& out) { return ExportWordTable(table, session.lists.Vocabulary, args.query.format, out); });
}

}  // namespace

int RunWordList(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  if (args.query.format != TableFormat::Text) return RunWordTable(args, session, scratch, output);
  WordListQuery query;
  query.order = args.query.wordListOrder;
  query.rhyme = args.query.rhyme;
  query.layout = args.query.layout;
  query.frequencies = args.query.frequencies;
  query.keyWords = args.query.keyWords;
  WordListResult result;
  status = MakeWordList(session, query, scratch, result);
  if (!status.ok()) return Fail(output, status);
  output.outFile = result.outputPath;
  output.err += result.countText + "\n";
  return 0;
}

int RunProfile(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  ProfileResult result;
  status = MakeProfile(session, args.query.keyWords, scratch, result);
  if (!status.ok()) return Fail(output, status);
  output.outFile = args.query.spectrum ? result.spectrumPath : result.statisticsPath;
  output.err += result.title + "\n";
  return 0;
}

}  // namespace wordloom::cli
