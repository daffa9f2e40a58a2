#include "base/paths.h"
#include "cli/command.h"
#include "project/project_actions.h"

namespace wordloom::cli {

int RunNew(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  std::string projectPath;
  std::vector<std::string> files;
  Status located = AbsoluteNormalPath(args.operands.front(), projectPath);
  if (located.ok()) located = TextFiles(args.operands, 1, files);
  if (!located.ok()) return Fail(output, located);
  Session session;
  Project created = session.project;
  ResetToNewProjectDefaults(created, CurrentFolder());
  created.AddFiles(files);
  // The title defaults to the project file's name without its last extension.
  std::string name = FileNameOf(projectPath);
  created.Title = name.substr(0, name.rfind('.'));
  created.FileName = projectPath;
  created.SaveVocabulary = args.noVocabulary ? VocabularyCheck::Clear : VocabularyCheck::Checked;
  ApplyRuleOptions(args.rules, created, session.referenceLetters);

  ProjectCandidate candidate;
  const Status prepared = PrepareNewProject(session, created, candidate);
  Status status = ScanAndCommit(session, prepared, candidate, scratch, args, output, true, true);
  if (status.ok()) status = SaveProject(session, projectPath);
  if (status.ok()) KeepProjectIndex(session, scratch, args.threads);
  return status.ok() ? 0 : Fail(output, status);
}

}  // namespace wordloom::cli
