#include "cli/command.h"
#include "scan/status_texts.h"

namespace wordloom::cli {

int RunInfo(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status loaded = LoadSource(args, scratch, session, output);
  if (!loaded.ok()) return Fail(output, loaded);
  ProjectStatus status = ShowProjectStatus(session.project.Title, static_cast<int64_t>(session.project.Files.size()),
                                           session.totals, session.scan.state.physicalLineTotal);
  output.out += status.title + "\n";
  output.out += status.counts + "\n";
  output.out += ShowKeyWordsSummary(session.lists) + "\n";
  output.out += ReferenceLetterBoxText(session.scan.references) + "\n";
  return 0;
}

}  // namespace wordloom::cli
