#include "cli/command.h"
#include "scan/status_texts.h"

namespace wordloom::cli {

int RunInfo(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  output.out += session.project.Title + "\n";
  output.out += ProjectCountsText(static_cast<int64_t>(session.project.Files.size()), session.totals) + "\n";
  output.out += KeyWordsSummaryText(session.lists.KeyWords, session.lists.Vocabulary) + "\n";
  output.out += ReferenceLetterBoxText(session.scan.references) + "\n";
  return 0;
}

}  // namespace wordloom::cli
