#include <set>

#include "base/paths.h"
#include "cli/command.h"
#include "project/project_actions.h"

namespace wordloom::cli {

void ApplyRuleOptions(const RuleOptions& options, Project& project, ReferenceLetters& letters) {
  ScanRules& rules = project.rules;
  if (options.title) project.Title = *options.title;
  if (options.alphabet) rules.alphabet = *options.alphabet;
  if (options.endOfLine) rules.endOfLine = *options.endOfLine;
  if (options.join) rules.join = *options.join;
  if (options.endHyphen) rules.endHyphen = *options.endHyphen;
  if (options.referenceType) rules.referenceType = *options.referenceType;
  if (options.leftReference) rules.leftReference = *options.leftReference;
  if (options.rightReference) rules.rightReference = *options.rightReference;
  for (const auto& [letter, value] : options.defines) letters.SetCell(letter, 1, value);
}

int Fail(Output& output, const Status& status) {
  output.err += status.message() + "\n";
  return 1;
}

std::vector<std::string> TextFiles(const std::vector<std::string>& operands, size_t first) {
  std::vector<std::string> files;
  std::set<std::string> seen;
  for (size_t i = first; i < operands.size(); ++i) {
    std::string path = AbsoluteNormalPath(operands[i]);
    if (seen.insert(path).second) files.push_back(path);
  }
  return files;
}

Status LoadSource(const Arguments& args, const ScratchFolder& scratch, Session& session, Output& output) {
  const std::string& first = args.operands.front();
  if (IsProjectPath(first)) {
    std::string path = AbsoluteNormalPath(first);
    ProjectFileReport report = OpenProject(session, path, ProgramFolder(), CurrentFolder());
    for (const std::string& message : report.messages) output.err += message + "\n";
    return report.status;
  }
  std::vector<std::string> files = TextFiles(args.operands, 0);
  Project created = NewProjectFromTextFile(session, files.front(), CurrentFolder());
  for (size_t i = 1; i < files.size(); ++i) created.AddFile(files[i]);
  ApplyRuleOptions(args.rules, created, session.referenceLetters);
  Status status = AcceptNewProject(session, created, scratch);
  output.err += session.scan.ErrorReportText;
  return status;
}

}  // namespace wordloom::cli
