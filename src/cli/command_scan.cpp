#include "cli/command.h"
#include "project/project_actions.h"

namespace wordloom::cli {

int RunScan(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  ProjectCandidate candidate;
  const Status prepared = PrepareEditProject(session, candidate);
  status = ScanAndCommit(session, prepared, candidate, scratch, args, output, true, true);
  if (status.ok()) status = SaveProject(session, session.project.FileName);
  if (status.ok()) KeepProjectIndex(session, scratch, args.threads);
  return status.ok() ? 0 : Fail(output, status);
}

}  // namespace wordloom::cli
