#include "cli/command.h"
#include "lists/profile.h"
#include "lists/word_list.h"

namespace wordloom::cli {

int RunWordList(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
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
